// Compiled documents built to hurt the reader: cut at every length, every
// byte flipped, every header length wrong, a future format version, tables
// pointing outside themselves, nesting past the limit, a file over the size
// limit, paths that are no files. Each must give a null tree and a message
// naming what is wrong, never a crash, and nothing may be built first.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fuzz/targets/compiled_target.h"
#include "reliability/fuzz_inputs.h"
#include "support/examples.h"
#include "support/log_capture.h"
#include "velt_document_compiler.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"
#include "velt_parser.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace {

using Tree = std::unique_ptr<VELT::IGraphConfig>;
using Image = std::vector<uint8_t>;

constexpr size_t kHeader = 44;

uint32_t field(const Image& image, size_t offset) {
    return image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
           static_cast<uint32_t>(image[offset + 3]) << 24;
}

void setField(Image& image, size_t offset, uint32_t value) {
    for (int byte = 0; byte < 4; ++byte) {
        image[offset + byte] = static_cast<uint8_t>(value >> (8 * byte));
    }
}

class HostileCompiledDocuments : public ::testing::Test {
  protected:
    void SetUp() override {
        VELT::getVeltKeys(keys_);
        // Hundreds of small files: in memory where the system has it.
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : ::testing::TempDir();
        folder_ = base / ("zovesk_hostile_compiled_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        VELT::copyVeltKeys(keys_);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    Image compile(const std::string& document) {
        Image image;
        EXPECT_EQ(VELT::DocumentCompiler::compile(document.c_str(), image), 0);
        return image;
    }

    // Reads image from a .veltbin file with a fresh reader.
    Tree read(const Image& image) {
        const std::string file = path("input.veltbin");
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        return readFile(file);
    }

    Tree readFile(const std::string& file) {
        log_.clear();
        VELT::VELTParser parser;
        // A stale value in *out must be replaced, by null when nothing is read.
        VELT::IGraphConfig* const stale = reinterpret_cast<VELT::IGraphConfig*>(&parser);
        VELT::IGraphConfig* root = stale;
        parser.parseVELTXmlFile(file.c_str(), &root);
        EXPECT_NE(root, stale);
        return Tree(root != stale ? root : nullptr);
    }

    // Refused: null, the reason in the log, and the usual closing message.
    void expectRefused(const Image& image, const std::string& reason) {
        Tree tree = read(image);
        EXPECT_EQ(tree, nullptr);
        EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, reason)) << "expected: " << reason;
        EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"));
    }

    static void fixChecksum(Image& image) { zovesk_fuzz::fixChecksum(image); }

    zovesk_test::LogCapture log_;

  private:
    VELT::KeyMap keys_;
    std::filesystem::path folder_;
};

TEST_F(HostileCompiledDocuments, AnIntactFileIsReadAndEveryCutOneRefused) {
    const Image image = compile(zovesk_test::builtExamplePath("camera_settings.xml"));
    ASSERT_NE(read(image), nullptr);
    for (const zovesk_test::LogRecord& record : log_.records()) {
        EXPECT_EQ(record.level & (ZO_LOG_ERROR | ZO_LOG_WARNING), 0u) << record.message;
    }
    for (size_t size = 0; size < image.size(); ++size) {
        Tree tree = read(Image(image.begin(), image.begin() + static_cast<long>(size)));
        ASSERT_EQ(tree, nullptr) << "cut at " << size;
        ASSERT_TRUE(log_.contains(
            ZO_LOG_ERROR, size < kHeader ? "not a compiled document" : "truncated or corrupt"))
            << "cut at " << size;
    }
    Image longer = image;
    longer.push_back(0);
    expectRefused(longer, "truncated or corrupt");
}

TEST_F(HostileCompiledDocuments, EveryFlippedByteIsRefused) {
    const Image image = compile(zovesk_test::builtExamplePath("orba6_settings.xml"));
    for (size_t at = 0; at < image.size(); ++at) {
        Image corrupt = image;
        corrupt[at] ^= 0x10;
        Tree tree = read(corrupt);
        ASSERT_EQ(tree, nullptr) << "byte " << at;
        ASSERT_FALSE(log_.records().empty()) << "byte " << at;
    }
    Image corrupt = image;
    corrupt.back() ^= 1;
    expectRefused(corrupt, "checksum mismatch");
}

TEST_F(HostileCompiledDocuments, FormatVersionsOtherThanTheOneWrittenAreRefused) {
    const Image image = compile(zovesk_test::builtExamplePath("orba6_settings.xml"));
    EXPECT_EQ(field(image, 8), VELT::DocumentCompiler::kFormatVersion);
    const uint32_t current = VELT::DocumentCompiler::kFormatVersion;
    for (uint32_t version : {0u, current - 1, current + 1, 0xFFFFFFFFu}) {
        Image other = image;
        setField(other, 8, version);
        fixChecksum(other);
        expectRefused(other, "compiled format version " + std::to_string(version) +
                                 " is not supported (this library reads version " +
                                 std::to_string(current) + ")");
    }
    Image magic = image;
    magic[1] = 'X';
    expectRefused(magic, "not a compiled document");
}

TEST_F(HostileCompiledDocuments, WrongTableLengthsAreRefusedBeforeAnythingIsAllocated) {
    const Image image = compile(zovesk_test::builtExamplePath("orba6_settings.xml"));
    // String count, string bytes, shape count, shape attribute names,
    // element count, value count.
    for (size_t offset : {16u, 20u, 24u, 28u, 32u, 36u}) {
        for (uint32_t value :
             {0u, field(image, offset) + 1, field(image, offset) - 1, 0xFFFFFFFFu}) {
            Image wrong = image;
            setField(wrong, offset, value);
            fixChecksum(wrong);
            Tree tree = read(wrong);
            EXPECT_EQ(tree, nullptr) << "field at " << offset << " = " << value;
            EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "truncated or corrupt"))
                << "field at " << offset << " = " << value;
        }
    }
    Image width = image;
    setField(width, 12, 3);
    fixChecksum(width);
    expectRefused(width, "corrupt header (number width 3)");
}

// The offsets of an image's tables (narrow images: 2-byte numbers).
struct Tables {
    explicit Tables(const Image& image)
        : strings(field(image, 16)),
          width(field(image, 12)),
          shapeCount(field(image, 24)),
          stringBytes(kHeader + 4 * size_t{strings}),
          shapes(stringBytes + field(image, 20)),
          shapeNames(shapes + 2 * width * size_t{shapeCount}),
          elements(shapeNames + width * size_t{field(image, 28)}),
          values(elements + 2 * width * size_t{field(image, 32)}) {}
    uint32_t strings;
    uint32_t width;
    uint32_t shapeCount;
    size_t stringBytes;
    size_t shapes;
    size_t shapeNames;
    size_t elements;
    size_t values;
};

void setNarrow(Image& image, size_t offset, uint32_t value) {
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

TEST_F(HostileCompiledDocuments, TablesPointingOutsideThemselvesAreRefused) {
    const Image image = compile(zovesk_test::builtExamplePath("orba6_settings.xml"));
    const Tables tables(image);
    ASSERT_EQ(tables.width, 2u);
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
        const char* reason;
    };
    const Case cases[] = {
        {"element name past the strings", tables.shapes, tables.strings, "names no string"},
        {"attribute name past the strings", tables.shapeNames, 0xFFFF, "names no string"},
        {"attribute value past the strings", tables.values + 2, 0xFFFF, "names no string"},
        {"element of no shape", tables.elements, tables.shapeCount, "names no shape"},
        {"document element below the top", tables.elements + 2, 1, "no document element"},
        {"element two levels down", tables.elements + 4 + 2, 2, "impossible depth"},
        {"second document element", tables.elements + 4 + 2, 0, "impossible depth"},
        {"attribute counts too high", tables.shapes + 2, 0xFFFF, "do not add up"},
        {"a NUL inside the first string", tables.stringBytes, 0, "string 0 is malformed"},
    };
    for (const Case& c : cases) {
        Image wrong = image;
        setNarrow(wrong, c.offset, c.value);
        fixChecksum(wrong);
        SCOPED_TRACE(c.what);
        expectRefused(wrong, c.reason);
    }
    // A string end running backwards.
    Image backwards = image;
    setField(backwards, kHeader + 4, 0);
    fixChecksum(backwards);
    expectRefused(backwards, "string 1 is malformed");
}

TEST_F(HostileCompiledDocuments, NestingPastTheLimitIsRefused) {
    // As deep as the XML reader goes, and a second element at the deepest
    // level.
    std::string text;
    const uint32_t limit = VELT::VELTParser::kMaxNestingDepth;
    for (uint32_t level = 1; level < limit; ++level) {
        text += "<node>";
    }
    text += "<node/><node/>";
    for (uint32_t level = 1; level < limit; ++level) {
        text += "</node>";
    }
    const std::string document = path("deepest.xml");
    std::ofstream(document) << text;
    Image image = compile(document);
    ASSERT_NE(read(image), nullptr);
    // The last element one level deeper, below its sibling: refused.
    const Tables tables(image);
    const size_t last = tables.elements + 4 * size_t{limit};
    ASSERT_EQ(image[last + 2] | image[last + 3] << 8, static_cast<int>(limit - 1));
    setNarrow(image, last + 2, limit);
    fixChecksum(image);
    expectRefused(image, "element " + std::to_string(limit) + " has an impossible depth");
}

TEST_F(HostileCompiledDocuments, PathsThatAreNoCompiledFilesAreRefused) {
    EXPECT_EQ(readFile(path("missing.veltbin")), nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Failed to open compiled document"));
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"));

    std::filesystem::create_directories(path("folder.veltbin"));
    EXPECT_EQ(readFile(path("folder.veltbin")), nullptr);
    EXPECT_FALSE(log_.records().empty());

    expectRefused(Image(), "not a compiled document");

    // Over the size limit: refused by its size, unread (a sparse file).
    const std::string huge = path("huge.veltbin");
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, (uintmax_t{1} << 30) + 1);
    EXPECT_EQ(readFile(huge), nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "refused (more than 1073741824)"));
}

TEST_F(HostileCompiledDocuments, ARefusedFileBlockGivesNullAndSaysSo) {
    const Image image = compile(zovesk_test::builtExamplePath("orba6_settings.xml"));
    const int32_t threshold = g_alloc_error;
    g_alloc_error = g_alloc_counter;
    Tree tree = read(image);
    g_alloc_error = threshold;
    EXPECT_EQ(tree, nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "pBuf is NULL"));
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"));
    EXPECT_NE(read(image), nullptr);
}

TEST_F(HostileCompiledDocuments, RandomDamageWithAValidChecksumNeverCrashes) {
    const Image image = compile(zovesk_test::builtExamplePath("camera_descriptor.xml"));
    std::mt19937 random(2026);
    size_t refused = 0;
    for (int round = 0; round < 2000; ++round) {
        Image damaged = image;
        for (int hits = 1 + static_cast<int>(random() % 4); hits > 0; --hits) {
            damaged[kHeader + random() % (damaged.size() - kHeader)] =
                static_cast<uint8_t>(random());
        }
        fixChecksum(damaged);
        refused += read(damaged) == nullptr ? 1 : 0;
    }
    // Damage to the strings goes unnoticed and is read; damage elsewhere is
    // mostly refused.
    EXPECT_GT(refused, 200u);
}

TEST(CompiledFuzzReplay, FormerFindingsAndSeedsRunClean) {
    zovesk_test::LogCapture log;
    std::vector<std::string> inputs = zovesk_test::regressionInputs("compiled");
    for (const char* name : {"camera_descriptor.xml", "orba7_settings.xml"}) {
        inputs.push_back(zovesk_test::readFile(zovesk_test::examplePath(name)));
    }
    const std::string seed =
        zovesk_test::readFile(std::string(ZOVESK_EXAMPLES_SOURCE_DIR) +
                              "/../fuzz/corpus/compiled/orba6_settings.veltbin");
    EXPECT_FALSE(seed.empty());
    inputs.push_back(seed);
    inputs.emplace_back("");
    // The target traps when the two forms of a document disagree.
    for (const std::string& input : inputs) {
        zovesk_fuzz::runCompiledTarget(reinterpret_cast<const uint8_t*>(input.data()),
                                       input.size());
    }
}

}  // namespace
