// The compiled reader: plans per shape from the element rules, then each
// element built from its plan with its values.

#include "zo_camera/velt/parser/compiled_reader.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "velt_keys.h"
#include "velt_status.h"
#include "zo_camera/velt/parser/element_rules.h"
#include "zo_camera/velt/parser/element_source.h"

namespace VELT {
namespace parser {

namespace {

constexpr int32_t kNoKind = std::numeric_limits<int32_t>::min();
constexpr uint32_t kNoSlot = std::numeric_limits<uint32_t>::max();

// One element of a shape, with its values, as the element rules see it;
// notes whether a name was missing and whether a value's key was generated.
class ShapeElement final : public ElementSource {
  public:
    ShapeElement(const CompiledView& view, CompiledNames& names, std::string& nameBuffer,
                 uint32_t name, uint32_t firstName, uint32_t count, uint64_t firstValue)
        : view_(view),
          names_(names),
          nameBuffer_(nameBuffer),
          name_(name),
          firstName_(firstName),
          count_(count),
          firstValue_(firstValue) {}

    uint32_t nameKey() override { return names_.keyOrNewKey(name_); }
    const std::string& nameText() override {
        nameBuffer_.assign(view_.string(name_), view_.stringLength(name_));
        return nameBuffer_;
    }
    size_t attributeCount() const override { return count_; }
    uint32_t attributeKey(size_t index) override {
        const uint32_t name = view_.shapeAttributeName(firstName_ + static_cast<uint32_t>(index));
        const uint32_t key = names_.key(name);
        sawMissingName_ = sawMissingName_ || names_.absent(name);
        return key;
    }
    const char* attributeValue(size_t index, size_t& length) override {
        const uint32_t value = valueOf(index);
        length = view_.stringLength(value);
        return view_.string(value);
    }
    int attributeInteger(size_t index) override { return names_.integer(valueOf(index)); }
    uint32_t attributeTextKey(size_t index) override {
        generatesKeys_ = true;
        return names_.keyOrNewKey(valueOf(index));
    }

    bool sawMissingName() const { return sawMissingName_; }
    bool generatesKeys() const { return generatesKeys_; }

  private:
    uint32_t valueOf(size_t index) const { return view_.value(firstValue_ + index); }

    const CompiledView& view_;
    CompiledNames& names_;
    std::string& nameBuffer_;
    uint32_t name_;
    uint32_t firstName_;
    uint32_t count_;
    uint64_t firstValue_;
    bool sawMissingName_ = false;
    bool generatesKeys_ = false;
};

// The attribute rules noting, per attribute, what becomes of it; the keys
// taken so far are kept sorted, as a node's attributes are.
class PlanSink {
  public:
    PlanSink(CompiledReader::Step* steps, ElementSource& source, std::vector<uint32_t>& keys)
        : steps_(steps), source_(source), keys_(keys) {
        keys_.clear();
    }

    int addType() {
        if (!take(kKeyType)) {
            return err_exists;
        }
        typeAdded_ = true;
        return err_none;
    }
    uint32_t rename(size_t index) {
        steps_[index].rename = true;
        return source_.attributeTextKey(index);
    }
    int addInteger(uint32_t key, size_t index) {
        return note(key, index, CompiledReader::kInteger);
    }
    int addKeyOfValue(uint32_t key, size_t index) {
        // The value's key is generated whether or not the attribute is kept.
        source_.attributeTextKey(index);
        return note(key, index, CompiledReader::kKeyOfValue);
    }
    int addText(uint32_t key, size_t index) { return note(key, index, CompiledReader::kText); }

    bool typeAdded() const { return typeAdded_; }
    // Where key goes among the attributes kept.
    uint32_t slotOf(uint32_t key) const {
        return static_cast<uint32_t>(std::lower_bound(keys_.begin(), keys_.end(), key) -
                                     keys_.begin());
    }

  private:
    int note(uint32_t key, size_t index, CompiledReader::Store store) {
        CompiledReader::Step& step = steps_[index];
        step.key = key;
        step.store = store;
        step.keep = take(key);
        return step.keep ? err_none : err_exists;
    }
    bool take(uint32_t key) {
        auto place = std::lower_bound(keys_.begin(), keys_.end(), key);
        if (place != keys_.end() && *place == key) {
            return false;
        }
        keys_.insert(place, key);
        return true;
    }

    CompiledReader::Step* steps_;
    ElementSource& source_;
    std::vector<uint32_t>& keys_;
    bool typeAdded_ = false;
};

CompiledReader::Action actionOf(const CompiledReader::Step& step) {
    if (step.rename) {
        return step.keep ? CompiledReader::kRenamePlaceText : CompiledReader::kRenameOnly;
    }
    switch (step.store) {
        case CompiledReader::kInteger:
            return step.keep ? CompiledReader::kPlaceInteger : CompiledReader::kSkip;
        case CompiledReader::kKeyOfValue:
            return step.keep ? CompiledReader::kPlaceKey : CompiledReader::kGenerateOnly;
        case CompiledReader::kText:
            return step.keep ? CompiledReader::kPlaceText : CompiledReader::kSkip;
        default:
            return CompiledReader::kSkip;
    }
}

// The room an attribute takes in its node's room.
uint32_t attributeBytesOf(CompiledReader::Action action) {
    switch (action) {
        case CompiledReader::kPlaceInteger:
        case CompiledReader::kPlaceKey:
            return sizeof(GraphConfigIntAttribute);
        case CompiledReader::kPlaceText:
        case CompiledReader::kRenamePlaceText:
            return sizeof(GraphConfigStrAttribute);
        default:
            return 0;
    }
}

}  // namespace

CompiledReader::CompiledReader(const CompiledView& view, TreeBuilder& builder, int32_t& kind,
                               std::string& version, CompiledReaderHost& host)
    : view_(view),
      builder_(builder),
      storage_(builder.bulkStorage()),
      kind_(kind),
      version_(version),
      host_(host),
      names_(view),
      steps_(view.shapeAttributeCount()),
      placings_(view.shapeAttributeCount()),
      storedTexts_(view.stringCount(), nullptr) {
    plans_.reserve(view.shapeCount());
    for (uint32_t shape = 0; shape < view.shapeCount(); ++shape) {
        plans_.push_back({view.shapeName(shape), view.shapeFirstName(shape),
                          view.shapeAttributes(shape), kNoKind, false, kFails, 0, 0, 0, kNoSlot,
                          0});
    }
    // Decoding made sure no more elements are open at once.
    levels_.resize(view.depthLimit());
}

void CompiledReader::read() {
    if (view_.width() == 4) {
        readElements<4>();
    } else {
        readElements<2>();
    }
    while (openLevels_ > 0) {
        closeLevel();
    }
}

void CompiledReader::resolve(Plan& plan, uint64_t firstValue) {
    ShapeElement source(view_, names_, nameBuffer_, plan.name, plan.firstStep, plan.attributes,
                        firstValue);
    Step* steps = steps_.data() + plan.firstStep;
    std::fill(steps, steps + plan.attributes, Step{0, kNoSlot, kNothing, false, false});
    plan.elementKey = source.nameKey();
    plan.typeSlot = kNoSlot;
    plan.itemCount = 0;
    if (isTopLevelKey(plan.elementKey)) {
        plan.outcome = kDocumentElement;
        findVersionAttributes(source, [&](size_t index) { steps[index].store = kVersion; });
    } else {
        PlanSink sink(steps, source, keys_);
        uint32_t elementKey = plan.elementKey;
        if (applyAttributeRules(source, kind_, elementKey, sink)) {
            plan.outcome = kNode;
            plan.itemCount = static_cast<uint32_t>(keys_.size());
            for (uint32_t index = 0; index < plan.attributes; ++index) {
                if (steps[index].keep) {
                    steps[index].slot = sink.slotOf(steps[index].key);
                }
            }
            if (sink.typeAdded()) {
                plan.typeSlot = sink.slotOf(kKeyType);
            }
        } else {
            plan.outcome = kFails;
        }
    }
    // A failed element logs and may generate keys before it fails, and an
    // element whose values' keys are generated may teach the dictionary a
    // name it looked up: those are worked out again each time.
    Placing* placings = placings_.data() + plan.firstStep;
    plan.attributeBytes = plan.typeSlot != kNoSlot ? sizeof(GraphConfigStrAttribute) : 0;
    for (uint32_t index = 0; index < plan.attributes; ++index) {
        placings[index] = {steps[index].key, steps[index].slot, actionOf(steps[index])};
        plan.attributeBytes += attributeBytesOf(placings[index].action);
    }
    const bool reusable =
        plan.outcome != kFails && !(source.sawMissingName() && source.generatesKeys());
    plan.kind = reusable ? kind_ : kNoKind;
    plan.untilNewName = source.sawMissingName();
    plan.epoch = names_.epoch();
}

template <unsigned Width>
void CompiledReader::buildNode(const Plan& plan, uint32_t element, const uint8_t* values) {
    const uint32_t capacity = plan.itemCount + view_.childCount(element);
    TreeBuilder::NodeRoom room = TreeBuilder::newNodeRoom(storage_, capacity, plan.attributeBytes);
    TreeBuilder::Entry* items = room.items;
    uint32_t elementKey = plan.elementKey;
    const Placing* placing = placings_.data() + plan.firstStep;
    const Placing* const end = placing + plan.attributes;
    for (; placing != end; ++placing, values += Width) {
        const uint32_t value = loadNumber<Width>(values);
        switch (placing->action) {
            case kPlaceInteger:
                TreeBuilder::placeEntry(
                    items + placing->slot, placing->key,
                    TreeBuilder::placeInteger(room.attributes, names_.integer(value)));
                break;
            case kPlaceText:
                TreeBuilder::placeEntry(items + placing->slot, placing->key,
                                        placeText(room.attributes, value));
                break;
            case kPlaceKey:
                TreeBuilder::placeEntry(
                    items + placing->slot, placing->key,
                    TreeBuilder::placeInteger(room.attributes,
                                              static_cast<int32_t>(names_.keyOrNewKey(value))));
                break;
            case kGenerateOnly:
                names_.keyOrNewKey(value);
                break;
            case kRenameOnly:
                elementKey = names_.keyOrNewKey(value);
                break;
            case kRenamePlaceText:
                elementKey = names_.keyOrNewKey(value);
                TreeBuilder::placeEntry(items + placing->slot, placing->key,
                                        placeText(room.attributes, value));
                break;
            case kSkip:
                break;
        }
    }
    if (plan.typeSlot != kNoSlot) {
        TreeBuilder::placeEntry(items + plan.typeSlot, kKeyType,
                                placeText(room.attributes, plan.name));
    }
    if (!rooted_) {
        if (!builder_.hasRoot() && !host_.createRoot()) {
            // The node's room stays unused in the storage.
            pushLevel({nullptr, nullptr, 0, 0, -1, kSkippedLevel, true});
            return;
        }
        rooted_ = true;
    }
    const int32_t target = innermostTarget();
    GraphConfigNode* node = room.node;
    TreeBuilder::setParent(node, target < 0 ? builder_.root() : levels_[target].node);
    attach(target, elementKey, node);
    pushLevel({node, items, plan.itemCount, capacity, static_cast<int32_t>(openLevels_), kNodeLevel,
               true});
}

GraphConfigStrAttribute* CompiledReader::placeText(char*& room, uint32_t string) {
    size_t length = 0;
    const char* text = view_.string(string, length);
    if (length > GraphConfigStrAttribute::kInlineLength) {
        // Each long text is copied once and shared by the attributes that hold it.
        if (storedTexts_[string] == nullptr) {
            storedTexts_[string] = TreeBuilder::storedText(storage_, text, length);
        }
        text = storedTexts_[string];
    }
    return TreeBuilder::placeText(room, text, length);
}

void CompiledReader::attach(int32_t target, uint32_t key, GraphConfigNode* node) {
    if (target < 0) {
        builder_.addToRoot(key, node);
        return;
    }
    Level& level = levels_[target];
    if (level.count == level.capacity) {
        // Only the children of a nodeless element inside it come on top of
        // what the file counts.
        grow(level);
    }
    // Children come in document order: the node is sorted only when their
    // keys do not rise (its attributes are in key order already).
    if (level.count > 0 && key < level.items[level.count - 1].first) {
        level.inKeyOrder = false;
    }
    TreeBuilder::placeEntry(level.items + level.count, key, node);
    ++level.count;
}

template <unsigned Width>
void CompiledReader::readElements() {
    const uint8_t* elements = view_.elementTable();
    const uint8_t* values = view_.valueTable();
    const uint32_t count = view_.elementCount();
    for (uint32_t element = 0; element < count; ++element, elements += size_t{2} * Width) {
        const uint32_t shape = loadNumber<Width>(elements);
        const uint32_t depth = loadNumber<Width>(elements + Width);
        // Depths were checked: each element opens at most one level down.
        while (openLevels_ > depth) {
            closeLevel();
        }
        Plan& plan = plans_[shape];
        const uint8_t* elementValues = values;
        values += size_t{Width} * plan.attributes;
        if (openLevels_ > 0 && levels_[openLevels_ - 1].kind == kSkippedLevel) {
            // Inside a failed element: its whole subtree is dropped unread.
            pushLevel({nullptr, nullptr, 0, 0, -1, kSkippedLevel, true});
            continue;
        }
        if (plan.kind != kind_ || (plan.untilNewName && plan.epoch != names_.epoch())) {
            resolve(plan, static_cast<uint64_t>(elementValues - view_.valueTable()) / Width);
        }
        switch (plan.outcome) {
            case kNode:
                buildNode<Width>(plan, element, elementValues);
                break;
            case kDocumentElement: {
                kind_ = static_cast<int32_t>(plan.elementKey);
                const Step* steps = steps_.data() + plan.firstStep;
                for (uint32_t index = 0; index < plan.attributes; ++index) {
                    if (steps[index].store == kVersion) {
                        const uint32_t value =
                            loadNumber<Width>(elementValues + size_t{Width} * index);
                        version_.assign(view_.string(value), view_.stringLength(value));
                    }
                }
                pushLevel({nullptr, nullptr, 0, 0, innermostTarget(), kNodelessLevel, true});
                break;
            }
            case kFails:
                pushLevel({nullptr, nullptr, 0, 0, -1, kSkippedLevel, true});
                break;
        }
    }
}

void CompiledReader::grow(Level& level) {
    const uint32_t capacity = std::max<uint32_t>(4, level.capacity * 2);
    TreeBuilder::Entry* items = TreeBuilder::newEntries(storage_, capacity);
    for (uint32_t index = 0; index < level.count; ++index) {
        new (&items[index]) TreeBuilder::Entry(std::move(level.items[index]));
    }
    if (level.capacity > 0) {
        TreeStorage::retire(level.items, level.capacity * sizeof(TreeBuilder::Entry));
    }
    level.items = items;
    level.capacity = capacity;
}

void CompiledReader::closeLevel() noexcept {
    Level& level = levels_[--openLevels_];
    if (level.kind == kNodeLevel && level.count > 0) {
        TreeBuilder::completeNode(level.node, level.items, level.count, level.inKeyOrder);
    }
}

}  // namespace parser
}  // namespace VELT
