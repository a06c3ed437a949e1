// Building the tree of a checked compiled document. Elements of one shape
// (the same name and attribute names) turn into items the same way as long
// as the keys of those names and the document kind stay what they were, so
// the element rules run once per shape and give a plan: for each attribute
// its key, how its value is stored and where it goes among the node's items,
// which are laid out at their final size (the file tells how many children
// each element has). A plan built on a name the dictionary lacks holds only
// until this reading generates a name; one whose own attributes would
// generate such a name, or whose element fails, is worked out again for
// every element, by the same rules, so the tree and the dictionary come out
// as reading the XML would leave them.
#ifndef ZO_CAMERA_VELT_PARSER_COMPILED_READER_H
#define ZO_CAMERA_VELT_PARSER_COMPILED_READER_H

#include <cstdint>
#include <string>
#include <vector>

#include "zo_camera/velt/parser/compiled_format.h"
#include "zo_camera/velt/parser/compiled_names.h"
#include "zo_camera/velt/tree/tree_builder.h"

namespace VELT {
namespace parser {

// What the reading needs from the reader it reads for.
class CompiledReaderHost {
  public:
    // Opens the builder's root with the version read so far; false (after
    // logging) when it cannot. Throws std::bad_alloc.
    virtual bool createRoot() = 0;

  protected:
    ~CompiledReaderHost() = default;
};

class CompiledReader {
  public:
    // kind and version are the reader's, kept across documents. Throws
    // std::bad_alloc.
    CompiledReader(const CompiledView& view, TreeBuilder& builder, int32_t& kind,
                   std::string& version, CompiledReaderHost& host);

    // Builds the tree in builder, whose root is then open (none when no
    // element makes a node). Throws std::bad_alloc; what was built is then
    // the builder's to drop.
    void read();

    // How an attribute's value is used.
    enum Store : uint8_t {
        kNothing,     // dropped: its key is taken
        kInteger,     // an integer attribute of the value
        kKeyOfValue,  // an integer attribute of the value's key (generated)
        kText,        // a string attribute of the value
        kVersion      // the document's version
    };
    struct Step {
        uint32_t key;
        uint32_t slot;  // among the node's items, when kept
        Store store;
        bool keep;
        bool rename;  // the node is stored under the value's key (generated)
    };
    // What building does with an attribute, from its step.
    enum Action : uint8_t {
        kSkip,            // dropped, nothing to work out
        kPlaceInteger,    // kept kInteger
        kPlaceKey,        // kept kKeyOfValue
        kPlaceText,       // kept kText
        kGenerateOnly,    // dropped kKeyOfValue: its key is generated all the same
        kRenameOnly,      // dropped name: the node's key all the same
        kRenamePlaceText  // kept name
    };

  private:
    enum Outcome : uint8_t { kNode, kDocumentElement, kFails };
    struct Plan {
        uint32_t name;        // string of the element name
        uint32_t firstStep;   // in steps_, one per attribute
        uint32_t attributes;  // how many
        // The kind the plan holds for; kNoKind while it holds for nothing.
        int32_t kind;
        // Built on a missing name: holds only while the names' epoch stays.
        bool untilNewName;
        Outcome outcome;
        uint32_t epoch;
        uint32_t elementKey;      // of the element name
        uint32_t itemCount;       // of the attributes, "type" included
        uint32_t typeSlot;        // where "type" goes, kNoSlot for none
        uint32_t attributeBytes;  // of the attributes kept, in the node's room
    };
    enum LevelKind : uint8_t { kNodeLevel, kNodelessLevel, kSkippedLevel };
    struct Level {
        GraphConfigNode* node;
        TreeBuilder::Entry* items;
        uint32_t count;
        uint32_t capacity;
        int32_t target;  // the level children go to; -1 for the root
        LevelKind kind;
        bool inKeyOrder;  // so far
    };

    template <unsigned Width>
    void readElements();
    // Applies the element rules to element's shape with its values from
    // firstValue on: a plan for this element, and for later ones while it
    // holds.
    void resolve(Plan& plan, uint64_t firstValue);
    // Inlined into readElements: a call per element would cost more than
    // most elements' attributes.
    template <unsigned Width>
    [[gnu::always_inline]] inline void buildNode(const Plan& plan, uint32_t element,
                                                 const uint8_t* values);
    // A string attribute of string in room.
    [[gnu::always_inline]] inline GraphConfigStrAttribute* placeText(char*& room, uint32_t string);
    [[gnu::always_inline]] inline void attach(int32_t target, uint32_t key, GraphConfigNode* node);
    void grow(Level& level);
    // The levels of the open elements, the innermost last: never more than
    // the view's depth limit, which levels_ is sized to.
    void pushLevel(const Level& level) { levels_[openLevels_++] = level; }
    void closeLevel() noexcept;
    int32_t innermostTarget() const {
        return openLevels_ == 0 ? -1 : levels_[openLevels_ - 1].target;
    }

    const CompiledView& view_;
    TreeBuilder& builder_;
    TreeStorage& storage_;
    int32_t& kind_;
    std::string& version_;
    CompiledReaderHost& host_;
    CompiledNames names_;
    std::vector<Plan> plans_;
    std::vector<Step> steps_;
    // Per step, what building does, and where and under which key.
    struct Placing {
        uint32_t key;
        uint32_t slot;
        Action action;
    };
    std::vector<Placing> placings_;
    std::vector<Level> levels_;
    uint32_t openLevels_ = 0;
    // Once the builder's root is open it stays so for the whole reading.
    bool rooted_ = false;
    // Texts longer than a string attribute holds, copied to the tree once.
    std::vector<const char*> storedTexts_;
    // Reused while resolving.
    std::vector<uint32_t> keys_;
    std::string nameBuffer_;
};

}  // namespace parser
}  // namespace VELT

#endif
