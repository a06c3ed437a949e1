/*
 * VELTParser: reads a graph descriptor or graph settings document (XML, or
 * gzip-compressed XML, or XML held in memory) into a configuration tree.
 *
 * Elements become nodes and attributes become attribute items, keyed through
 * the process-wide key dictionary (velt_item_uid.h); names the dictionary
 * does not know receive new keys while reading. Failures are reported through
 * the log with the tag "VELT_PARSER[XOS]".
 *
 * Threads: a parser is used by one thread at a time; threads that read at
 * once each use their own parser. Reading adds keys to the dictionary, which
 * is safe while other threads read or use keys.
 */
#ifndef VELT_PARSER_H
#define VELT_PARSER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"

/* The expat parser handle (the same declaration as <expat.h>). */
struct XML_ParserStruct;
typedef struct XML_ParserStruct* XML_Parser;

namespace VELT {

class TreeBuilder;
namespace parser {
class ElementSource;
class NameKeyCache;
}  // namespace parser

/*
 * Where and why expat stopped reading a document. The reader's log messages
 * name the reading function; this record names the place in the document.
 */
struct VELTParseError {
    /* The file read, as given; empty for a document read from memory. */
    std::string fileName;
    /* 1-based line of the error in the document; 0 when there was no error. */
    unsigned long line = 0;
    /* 1-based column (expat's count plus one); 0 when there was no error. */
    unsigned long column = 0;
    /* expat's description of the error; empty when there was none. */
    std::string message;
};

/*
 * One reader, usable for any number of documents in turn. The version read
 * from one document's top-level element is kept for the next document until
 * that one names its own.
 */
class ZO_EXPORT VELTParser {
  public:
    /* Bytes handed to expat per call when reading a file. */
    static constexpr size_t kBlockSize = 4096;
    /*
     * Elements nested deeper than this stop the reading like a syntax error,
     * so hostile documents cannot exhaust memory or the stack of tree users.
     */
    static constexpr uint32_t kMaxNestingDepth = 1024;

    /* An empty reader. */
    VELTParser();
    /* Frees a tree still under construction (only left when destroyed mid-document). */
    ~VELTParser();
    VELTParser(const VELTParser&) = delete;
    VELTParser& operator=(const VELTParser&) = delete;

    /*
     * Reads a file into a new tree whose root is stored in *out; the caller
     * owns it. The reading is chosen by the text after the file name's last
     * '.' (case-sensitive): "xml" plain, "gz" gzip, "veltbin" a compiled
     * document (velt_document_compiler.h), which gives the tree its XML
     * gives. *out is null when nothing could be read; after a syntax error
     * it is the tree read so far. A compiled file is checked whole before
     * anything is built: a truncated, corrupt or oversized one, or one of
     * another format version, gives null and a message saying so. A null
     * out, or a reader or block that cannot be allocated, leaves *out as it
     * was.
     */
    void parseVELTXmlFile(const char* fileName, IGraphConfig** out);
    /*
     * Reads a complete XML document of length bytes from memory into a new
     * tree, with the result rules of parseVELTXmlFile. data is not changed.
     */
    void parseVELTXmlData(char* data, size_t length, IGraphConfig** out);

    /*
     * Feeds a plain file to parser in kBlockSize blocks through buffer (larger
     * blocks while a block ends inside one token, so huge tokens read in
     * linear time).
     */
    void parseXML(XML_Parser& parser, const char* fileName, void* buffer);
    /* Feeds a gzip file, decompressed, to parser in blocks as parseXML does. */
    void parseGz(XML_Parser& parser, const char* fileName, void* buffer);

    /*
     * The syntax error that ended the most recent read (parseVELTXmlFile,
     * parseVELTXmlData, parseXML or parseGz), or a record with an empty
     * message when that read met none. Files that cannot be opened or
     * decompressed are reported through the log only.
     */
    const VELTParseError& lastError() const { return lastError_; }

    /* Expat start-element handler; userData is the VELTParser. */
    static void startElement(void* userData, const char* name, const char** attributes);
    /* Expat end-element handler; userData is the VELTParser. */
    static void endElement(void* userData, const char* name);

  private:
    /*
     * Readies the reader for a new document and registers the handlers on
     * parser (none for a null parser: a compiled document).
     */
    void beginDocument(XML_Parser parser);
    /* Hands the tree read so far to out (null when there is none) and forgets it. */
    void handOutTree(IGraphConfig** out);
    /* Frees whatever tree is under construction. */
    void dropTree();
    /* False when the reader's own parts could not be allocated. */
    bool usable() const;
    /* Passes one block to expat; false (after logging) when expat reports an error. */
    bool feed(XML_Parser parser, const char* data, size_t length, bool final, const char* caller,
              int line);
    /* True for an expat status other than an error; false (after logging) for an error. */
    bool parsed(XML_Parser parser, int status, const char* caller, int line);

    /* Reads a compiled document (file type "veltbin") into the tree being built. */
    void parseCompiled(const char* fileName);

    /* The element rules, shared by XML and compiled documents. */
    void openElement(parser::ElementSource& source);
    void closeElement();
    /*
     * Begins the node of an element with its attributes; false (after
     * logging) when the element fails. elementKey becomes the key the node
     * is stored under.
     */
    bool buildNode(parser::ElementSource& source, uint32_t& elementKey);
    /* Opens the root; false (after logging) when it cannot be completed. */
    bool createRoot();

    /* Forgets the previous read's error; the next one reads fileName (null for memory). */
    void beginErrorRecord(const char* fileName);

    /* Key of the top-level element, or 1 before one was met. */
    int32_t kind_ = 1;
    /* The top-level element's "version". */
    std::string version_;
    /* The tree being read (zo_camera/velt/tree/tree_builder.h). */
    std::unique_ptr<TreeBuilder> builder_;

    /* The expat parser of the document being read, for stopping it. */
    XML_Parser activeParser_ = nullptr;
    /* Elements started and ended so far, to tell blocks that end inside one token. */
    uint64_t elementEvents_ = 0;
    /* Open elements, counting those that make no node. */
    uint32_t openDepth_ = 0;
    /* Open elements inside (and including) a failed element, whose subtrees are dropped. */
    uint32_t skipDepth_ = 0;
    /* Memory ran out while reading: the document is dropped, null handed out. */
    bool outOfMemory_ = false;
    /* openDepth_ values of the open elements that made no node (the top-level ones). */
    std::vector<uint32_t> nodelessDepths_;
    /* Keys of the names met in the document being read. */
    std::unique_ptr<parser::NameKeyCache> names_;
    /* Reused buffer, so values are not allocated per attribute. */
    std::string value_;
    /* What stopped the most recent read. */
    VELTParseError lastError_;
};

}  // namespace VELT

#endif /* VELT_PARSER_H */
