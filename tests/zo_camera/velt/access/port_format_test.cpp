// Port format resolution: fallbacks of a port's format text, sizes and
// strides left to the peer, bpl overrides, and number texts as bytes.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/graph_builder.h"
#include "support/log_capture.h"
#include "velt_graph_camera_util.h"
#include "velt_graph_config_node.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace {

using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;
using zovesk_test::addBlock;
using zovesk_test::addChild;
using zovesk_test::addInt;
using zovesk_test::addPort;
using zovesk_test::addStr;
using zovesk_test::strOf;

constexpr unsigned kNv12 = 0x4E563132;

// A producer block whose output feeds a consumer's input.
class PortFormatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = std::make_unique<GraphConfigNode>();
        producer_ = addBlock(root_.get(), "isa", "program_group");
        out_ = addPort(producer_, "output", 1, 1, "psa:input");
        consumer_ = addBlock(root_.get(), "psa", "program_group");
        in_ = addPort(consumer_, "input", 0, 0, "isa:output");
    }

    struct Format {
        unsigned enabled = 77;
        unsigned uid = 77;
        unsigned width = 77;
        unsigned height = 77;
        unsigned fourcc = 77;
        unsigned bpl = 77;
        unsigned bpp = 77;
    };

    int getFormat(const GraphConfigNode* port, Format& format) {
        return GraphCameraUtil::portGetFormat(port, format.enabled, format.uid, format.width,
                                              format.height, format.fourcc, format.bpl, format.bpp);
    }

    void describe(GraphConfigNode* port, int width, int height, const std::string& format) {
        addInt(port, "width", width);
        addInt(port, "height", height);
        addStr(port, "format", format);
    }

    std::unique_ptr<GraphConfigNode> root_;
    GraphConfigNode* producer_ = nullptr;
    GraphConfigNode* out_ = nullptr;
    GraphConfigNode* consumer_ = nullptr;
    GraphConfigNode* in_ = nullptr;
};

TEST_F(PortFormatTest, TableNameGivesFourccStrideAndBitsPerPixel) {
    describe(out_, 1000, 600, "YUV420_10_SP");
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.enabled, 1u);
    EXPECT_EQ(format.uid, 1u);
    EXPECT_EQ(format.width, 1000u);
    EXPECT_EQ(format.height, 600u);
    EXPECT_EQ(format.fourcc, 0x50303130u);  // P010
    EXPECT_EQ(format.bpl, 2048u);           // align(2 * 1000, 64)
    EXPECT_EQ(format.bpp, 24u);
}

TEST_F(PortFormatTest, FourccCharactersAreTheFirstFallback) {
    zovesk_test::LogCapture log;
    describe(out_, 1920, 1080, "NV12");
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.fourcc, kNv12);
    EXPECT_EQ(format.bpl, 1920u);
    EXPECT_EQ(format.bpp, 12u);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Error: Couldn't find format NV12 from the formats XML. Fallback to "
                             "fourcc."));
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "bpl set to 1920 for YUV420_8_SP"));
}

TEST_F(PortFormatTest, UnknownTextDefaultsToEightBitSemiPlanar) {
    zovesk_test::LogCapture log;
    describe(out_, 100, 100, "NOT_A_FORMAT");
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.fourcc, kNv12);
    EXPECT_EQ(format.bpl, 128u);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Fallback to fourcc."));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Error: Couldn't find  format by fourcc. Try defaulting to "
                             "YUV420_8_SP(NV12)"));
}

TEST_F(PortFormatTest, TextsShorterThanAFourccFallBackSafely) {
    describe(out_, 64, 64, "BA");
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.fourcc, kNv12);
}

TEST_F(PortFormatTest, MissingSizesAndFormatComeFromThePeer) {
    zovesk_test::LogCapture log;
    describe(in_, 1920, 1080, "YUV420_8_SP");
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.width, 1920u);
    EXPECT_EQ(format.height, 1080u);
    EXPECT_EQ(format.fourcc, kNv12);
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "Using the peer's attribute value"));
}

TEST_F(PortFormatTest, SettingsBplOverridesTheComputedStride) {
    zovesk_test::LogCapture log;
    describe(out_, 1920, 1080, "YUV420_8_SP");
    addInt(out_, "bpl", 4096);
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.bpl, 4096u);
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "Overwriting bpl(1920) from settings 4096"));
}

TEST_F(PortFormatTest, PeerBplOverridesToo) {
    describe(out_, 1920, 1080, "YUV420_8_SP");
    addInt(in_, "bpl", 2560);
    Format format;
    ASSERT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.bpl, 2560u);
}

TEST_F(PortFormatTest, NegativeValuesAreRefused) {
    describe(out_, 1920, 1080, "YUV420_8_SP");
    addInt(out_, "bpl", -1);
    Format format;
    EXPECT_EQ(getFormat(out_, format), -2);

    addInt(in_, "width", -5);
    Format peerFormat;
    EXPECT_EQ(getFormat(in_, peerFormat), -2);
    EXPECT_EQ(peerFormat.width, 77u);
}

TEST_F(PortFormatTest, IncompleteConfigurationFailsAfterFillingWhatIsKnown) {
    zovesk_test::LogCapture log;
    addInt(out_, "width", 640);
    addStr(out_, "format", "YUV420_8_SP");
    Format format;
    EXPECT_EQ(getFormat(out_, format), -2);
    EXPECT_EQ(format.width, 640u);
    EXPECT_EQ(format.height, 77u);
    EXPECT_EQ(format.bpl, 640u);
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "Could not find port format info: height"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Part of the port configuration is missing!"));
}

TEST_F(PortFormatTest, MissingFormatLeavesTheFormatOutputs) {
    zovesk_test::LogCapture log;
    addInt(out_, "width", 640);
    addInt(out_, "height", 480);
    Format format;
    EXPECT_EQ(getFormat(out_, format), -2);
    EXPECT_EQ(format.fourcc, 77u);
    EXPECT_EQ(format.bpl, 77u);
    EXPECT_TRUE(
        log.contains(ZO_LOG_INFO, "Could not find port format info. port: port[isa:output]"));
}

TEST_F(PortFormatTest, PrivatePortsMayBeIncomplete) {
    addInt(out_, "width", 640);
    addStr(out_, "format", "YUV420_8_SP");
    addInt(out_, "private", 1);
    Format format;
    EXPECT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.height, 77u);
}

TEST_F(PortFormatTest, DisabledPortReturnsAtOnce) {
    describe(out_, 1920, 1080, "YUV420_8_SP");
    addInt(out_, "enabled", 0);
    Format format;
    EXPECT_EQ(getFormat(out_, format), 0);
    EXPECT_EQ(format.enabled, 0u);
    EXPECT_EQ(format.width, 77u);
    EXPECT_EQ(format.fourcc, 77u);
}

TEST_F(PortFormatTest, NullPortFails) {
    Format format;
    EXPECT_EQ(getFormat(nullptr, format), -32);
}

TEST_F(PortFormatTest, PeerFormatIsTheTableName) {
    addStr(in_, "format", "YUV420_8_PL");
    EXPECT_EQ(GraphCameraUtil::portGetPeerFormat(out_), "YUV420_8_PL");
    // The peer without a format of its own takes the port's, i.e. its own peer's.
    addStr(out_, "format", "YUV420_10_SP");
    EXPECT_EQ(GraphCameraUtil::portGetPeerFormat(in_), "YUV420_10_SP");
}

TEST_F(PortFormatTest, UnknownPeerFormatDefaults) {
    zovesk_test::LogCapture log;
    addStr(in_, "format", "NV12");
    EXPECT_EQ(GraphCameraUtil::portGetPeerFormat(out_), "YUV420_8_SP");
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Error: Couldn't find format NV12 from the formats XML.Try defaulting "
                             "to YUV420_8_SP(NV12)"));
}

TEST_F(PortFormatTest, PeerFormatWithoutPeerOrFormatIsEmpty) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(GraphCameraUtil::portGetPeerFormat(out_), "");
    EXPECT_TRUE(
        log.contains(ZO_LOG_INFO, "Could not find port format info. port: port[psa:input]"));

    GraphConfigNode* lonely = addPort(producer_, "lonely", 9, 1);
    EXPECT_EQ(GraphCameraUtil::portGetPeerFormat(lonely), "");
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find peer port - Fix your graph"));
}

TEST_F(PortFormatTest, ApplyFormatWritesThePeersOptionValue) {
    addStr(in_, "format", "YUV420_8_SP");
    GraphConfigNode* options = addChild(in_, "options");
    addInt(options, "attribute", zovesk_test::keyOf("format"));
    GraphConfigNode* option = addChild(options, "option");
    addStr(option, "value", "YUV420_8_SP,YUV420_8_SP_C");

    EXPECT_EQ(GraphCameraUtil::applyFormat(out_, "YUV420_8_SP_C"), 0);
    EXPECT_EQ(strOf(in_, "format"), "YUV420_8_SP_C");
    EXPECT_EQ(strOf(out_, "format"), "<missing>");
    // A value outside the option list is not stored, and not an error.
    EXPECT_EQ(GraphCameraUtil::applyFormat(out_, "YUV420_10_SP"), 0);
    EXPECT_EQ(strOf(in_, "format"), "YUV420_8_SP_C");
}

TEST_F(PortFormatTest, ApplyFormatFailures) {
    zovesk_test::LogCapture log;
    GraphConfigNode* lonely = addPort(producer_, "lonely", 9, 1);
    EXPECT_EQ(GraphCameraUtil::applyFormat(lonely, "YUV420_8_SP"), -8);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "couldn't find peer for port[isa:lonely]"));

    addInt(in_, "format", 3);  // a format of the wrong kind
    EXPECT_EQ(GraphCameraUtil::applyFormat(out_, "YUV420_8_SP"), -32);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't set format YUV420_8_SP for port[isa:output]"));
}

struct Binary {
    unsigned size = 0;  // before bytes: set while bytes is initialised
    uint8_t* bytes = nullptr;
    explicit Binary(const std::string& text)
        : bytes(GraphCameraUtil::numString2binary(text, &size)) {}
    ~Binary() { GraphCameraUtil::releaseBinary(bytes); }
    std::vector<int> values() const {
        return bytes ? std::vector<int>(bytes, bytes + size) : std::vector<int>();
    }
};

TEST(NumString2BinaryTest, DecimalSizesAndByteOrder) {
    // ((digits * 27214) >> 16) + 1 bytes: 2 for three digits.
    EXPECT_EQ(Binary("255").values(), (std::vector<int>{0xFF, 0x00}));
    EXPECT_EQ(Binary("256").values(), (std::vector<int>{0x00, 0x01}));
    EXPECT_EQ(Binary("7").values(), (std::vector<int>{7}));
    EXPECT_EQ(Binary("0").values(), (std::vector<int>{0}));
    EXPECT_EQ(Binary("000").values(), (std::vector<int>{0}));
    EXPECT_EQ(Binary("00258").values(), (std::vector<int>{0x02, 0x01}));
    EXPECT_EQ(Binary("65536xyz").values(), (std::vector<int>{0x00, 0x00, 0x01}));
    EXPECT_EQ(Binary("18446744073709551614").values(),
              (std::vector<int>{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
}

TEST(NumString2BinaryTest, HexadecimalFillsNibblesFromTheLastDigit) {
    EXPECT_EQ(Binary("0x1234").values(), (std::vector<int>{0x34, 0x12, 0x00}));
    EXPECT_EQ(Binary("0XaBc").values(), (std::vector<int>{0xBC, 0x0A}));
    EXPECT_EQ(Binary("0x").values(), (std::vector<int>{0}));
    EXPECT_EQ(Binary("000x1fg").values(), (std::vector<int>{0x1F, 0x00}));
    EXPECT_EQ(Binary("0x112233445566778899").values(),
              (std::vector<int>{0x99, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x00}));
}

TEST(NumString2BinaryTest, RefusedTexts) {
    unsigned size = 5;
    EXPECT_EQ(GraphCameraUtil::numString2binary("", &size), nullptr);
    EXPECT_EQ(GraphCameraUtil::numString2binary("abc", &size), nullptr);
    EXPECT_EQ(GraphCameraUtil::numString2binary("x12", &size), nullptr);
    EXPECT_EQ(GraphCameraUtil::numString2binary(" 12", &size), nullptr);
    EXPECT_EQ(size, 5u);
    // The largest 64-bit value (what an overflow yields) and beyond: refused, the
    // buffer freed again and the size left as it was.
    const int32_t freed = g_free_counter;
    EXPECT_EQ(GraphCameraUtil::numString2binary("18446744073709551615", &size), nullptr);
    EXPECT_EQ(GraphCameraUtil::numString2binary("018446744073709551615", &size), nullptr);
    EXPECT_EQ(GraphCameraUtil::numString2binary("18446744073709551616", &size), nullptr);
    EXPECT_EQ(GraphCameraUtil::numString2binary("99999999999999999999999", nullptr), nullptr);
    EXPECT_EQ(g_free_counter, freed + 4);
    EXPECT_EQ(size, 5u);
}

TEST(NumString2BinaryTest, AllocationFailureGivesNull) {
    g_alloc_error = g_alloc_counter;
    unsigned size = 5;
    EXPECT_EQ(GraphCameraUtil::numString2binary("0x12", &size), nullptr);
    g_alloc_error = -1;
    EXPECT_EQ(size, 5u);

    uint8_t* bytes = GraphCameraUtil::numString2binary("0x12", nullptr);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0], 0x12);
    const int32_t freed = g_free_counter;
    GraphCameraUtil::releaseBinary(bytes);
    EXPECT_EQ(g_free_counter, freed + 1);
    GraphCameraUtil::releaseBinary(nullptr);
}

}  // namespace
