// Copying one attribute from a block onto a virtual sink.
#include <gtest/gtest.h>

#include "query_test_support.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_keys.h"
#include "velt_status.h"

namespace {

using namespace zovesk_test;
using VELT::GraphConfigNode;

TEST(PropagateAttributeTest, AddsMissingAndReplacesExistingValues) {
    VELT::GraphQueryManager manager;
    GraphConfigNode source;
    GraphConfigNode target;
    source.addValue(VELT::kKeyExecCtxId, 3);
    source.addValue(VELT::kKeyContentType, std::string("pixel_data"));

    EXPECT_EQ(manager.propagateIntAttribute(&source, &target, VELT::kKeyExecCtxId), 0);
    EXPECT_EQ(manager.propagateStrAttribute(&source, &target, VELT::kKeyContentType), 0);
    EXPECT_EQ(intAt(&target, "exec_ctx_id"), 3);
    EXPECT_EQ(strAt(&target, "content_type"), "pixel_data");

    // Existing values are replaced in place, without adding a second attribute.
    source.setValueFromStr(VELT::ItemUID({VELT::kKeyExecCtxId}), "8");
    source.setValueFromStr(VELT::ItemUID({VELT::kKeyContentType}), "metadata");
    EXPECT_EQ(manager.propagateIntAttribute(&source, &target, VELT::kKeyExecCtxId), 0);
    EXPECT_EQ(manager.propagateStrAttribute(&source, &target, VELT::kKeyContentType), 0);
    EXPECT_EQ(intAt(&target, "exec_ctx_id"), 8);
    EXPECT_EQ(strAt(&target, "content_type"), "metadata");
    EXPECT_EQ(target.getDescendantCount(), 2);
}

TEST(PropagateAttributeTest, MissingOrMistypedSourceLeavesTheTarget) {
    VELT::GraphQueryManager manager;
    GraphConfigNode source;
    GraphConfigNode target;
    target.addValue(VELT::kKeyExecCtxId, 5);
    source.addValue(VELT::kKeyContentType, 7);  // an integer where text is expected

    EXPECT_EQ(manager.propagateIntAttribute(&source, &target, VELT::kKeyExecCtxId),
              VELT::err_general);
    EXPECT_EQ(intAt(&target, "exec_ctx_id"), 5);
    EXPECT_EQ(manager.propagateStrAttribute(&source, &target, VELT::kKeyContentType),
              VELT::err_noentry);
    EXPECT_FALSE(target.hasItem(VELT::kKeyContentType));
    EXPECT_EQ(manager.propagateIntAttribute(nullptr, &target, VELT::kKeyExecCtxId),
              VELT::err_argument);
    EXPECT_EQ(manager.propagateStrAttribute(&source, nullptr, VELT::kKeyContentType),
              VELT::err_argument);
}

}  // namespace
