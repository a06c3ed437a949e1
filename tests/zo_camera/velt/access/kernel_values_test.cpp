#include <gtest/gtest.h>

#include <string>

#include "camera_graph_fixture.h"
#include "support/log_capture.h"
#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;

class KernelValuesTest : public CameraGraphTest {
  protected:
    void SetUp() override {
        CameraGraphTest::SetUp();
        kernel_ = static_cast<GraphConfigNode*>(isa_->getDescendant(keyOf("bxt_blc")));
        ASSERT_NE(nullptr, kernel_);
        addInt(kernel_, "pal_uuid", 42);
        addInt(kernel_, "id", 7);
    }

    // Reads every value; the metadata array is pre-filled with a sentinel.
    int read(const std::string& metadataText) {
        if (!metadataText.empty()) {
            addStr(kernel_, "metadata", metadataText);
        }
        for (unsigned& value : metadata_) {
            value = kSentinel;
        }
        return GraphCameraUtil::kernelGetValues(kernel_, &palUuid_, &kernelId_, metadata_,
                                                &enabled_, &rcb_, &branchPoint_, &sinkPort_);
    }

    static constexpr unsigned kSentinel = 0xDEADBEEF;
    GraphConfigNode* kernel_ = nullptr;
    int palUuid_ = 0;
    int kernelId_ = 0;
    unsigned metadata_[6] = {};
    int enabled_ = 0;
    int rcb_ = 0;
    int branchPoint_ = 0;
    int sinkPort_ = 0;
};

TEST_F(KernelValuesTest, DefaultsForOptionalValues) {
    ASSERT_EQ(VELT::err_none, read(""));
    EXPECT_EQ(42, palUuid_);
    EXPECT_EQ(7, kernelId_);
    EXPECT_EQ(1, enabled_);
    EXPECT_EQ(0, rcb_);
    EXPECT_EQ(0, branchPoint_);
    EXPECT_EQ(-1, sinkPort_);
    EXPECT_EQ(kSentinel, metadata_[0]);
}

TEST_F(KernelValuesTest, StoredValuesWin) {
    addInt(kernel_, "enabled", 0);
    addInt(kernel_, "rcb", 1);
    addInt(kernel_, "branch_point", 1);
    addInt(kernel_, "sink_port", 2);
    ASSERT_EQ(VELT::err_none, read(""));
    EXPECT_EQ(0, enabled_);
    EXPECT_EQ(1, rcb_);
    EXPECT_EQ(1, branchPoint_);
    EXPECT_EQ(2, sinkPort_);
}

TEST_F(KernelValuesTest, MetadataListFillsTheArrayInOrder) {
    ASSERT_EQ(VELT::err_none, read("3,0,12"));
    EXPECT_EQ(3u, metadata_[0]);
    EXPECT_EQ(0u, metadata_[1]);
    EXPECT_EQ(12u, metadata_[2]);
    EXPECT_EQ(kSentinel, metadata_[3]);
}

TEST_F(KernelValuesTest, FourMetadataValuesFitAndBlanksAroundThemAreAllowed) {
    ASSERT_EQ(VELT::err_none, read(" 1, 2 ,3,4294967295"));
    EXPECT_EQ(1u, metadata_[0]);
    EXPECT_EQ(2u, metadata_[1]);
    EXPECT_EQ(3u, metadata_[2]);
    EXPECT_EQ(4294967295u, metadata_[3]);
    EXPECT_EQ(kSentinel, metadata_[4]);
}

TEST_F(KernelValuesTest, AFifthMetadataValueIsRefusedWithoutWriting) {
    LogCapture log;
    EXPECT_EQ(VELT::err_data, read("1,2,3,4,5"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "holds more than 4 values"));
    for (unsigned value : metadata_) {
        EXPECT_EQ(kSentinel, value);
    }
}

TEST_F(KernelValuesTest, MalformedMetadataIsRefused) {
    for (const char* text : {"3,x", "3,,4", "3,", "-1", "4294967296", "12abc", ","}) {
        SCOPED_TRACE(text);
        GraphConfigNode* fresh = addBlock(isa_, "bxt_probe", "kernel");
        addInt(fresh, "pal_uuid", 1);
        addInt(fresh, "id", 1);
        addStr(fresh, "metadata", text);
        unsigned metadata[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
        LogCapture log;
        EXPECT_EQ(VELT::err_data,
                  GraphCameraUtil::kernelGetValues(fresh, nullptr, nullptr, metadata, nullptr,
                                                   nullptr, nullptr, nullptr));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "is not a list of decimal integers"));
        EXPECT_EQ(kSentinel, metadata[0]);
        isa_->removeDescendant(keyOf("bxt_probe"));
    }
}

TEST_F(KernelValuesTest, MissingPalUuidOrIdFails) {
    GraphConfigNode* bare = addBlock(isa_, "bxt_bare", "kernel");
    int value = 0;
    LogCapture log;
    EXPECT_EQ(VELT::err_general,
              GraphCameraUtil::kernelGetValues(bare, &value, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, nullptr));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ERROR: Couldn't get pal_uuid"));
    addInt(bare, "pal_uuid", 5);
    EXPECT_EQ(VELT::err_general,
              GraphCameraUtil::kernelGetValues(bare, &value, &value, nullptr, nullptr, nullptr,
                                               nullptr, nullptr));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't get kernel id"));
    // Outputs that are not asked for are not read.
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::kernelGetValues(bare, nullptr, nullptr, nullptr,
                                                               nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(VELT::err_argument,
              GraphCameraUtil::kernelGetValues(nullptr, &value, &value, nullptr, nullptr, nullptr,
                                               nullptr, nullptr));
}

}  // namespace
}  // namespace zovesk_test
