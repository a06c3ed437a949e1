// Order, lookup and removal rules of the plain linked list.

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "zo_list.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace {

// Frees every element still in the list.
void freeAll(zo_list* list) {
    while (list) {
        zo_list* next = list->next;
        zo_list_destroy(list);
        list = next;
    }
}

class ListTest : public ::testing::Test {
  protected:
    void TearDown() override {
        freeAll(list_);
        g_alloc_error = -1;
    }
    zo_list* list_ = nullptr;
    int w_ = 0, x_ = 0, y_ = 0, z_ = 0;
};

TEST_F(ListTest, AppendKeepsOrderAndPrependMakesTheHead) {
    ASSERT_EQ(zo_list_append(&list_, &w_), 0);
    ASSERT_EQ(zo_list_append(&list_, &x_), 0);
    ASSERT_EQ(zo_list_append(&list_, &y_), 0);
    ASSERT_EQ(zo_list_prepend(&list_, &z_), 0);

    EXPECT_EQ(zo_list_length(list_), 4u);
    EXPECT_EQ(zo_list_data_at(list_, 0), &z_);
    EXPECT_EQ(zo_list_data_at(list_, 1), &w_);
    EXPECT_EQ(zo_list_data_at(list_, 2), &x_);
    EXPECT_EQ(zo_list_data_at(list_, 3), &y_);
    EXPECT_EQ(zo_list_data_at(list_, 4), nullptr);
    EXPECT_EQ(zo_list_data_at(list_, -1), nullptr);
    EXPECT_EQ(zo_list_contains(list_, &x_), 1);
    int other = 0;
    EXPECT_EQ(zo_list_contains(list_, &other), 0);
}

TEST_F(ListTest, EmptyListAndNullListPointer) {
    EXPECT_EQ(zo_list_length(nullptr), 0u);
    EXPECT_EQ(zo_list_data_at(nullptr, 0), nullptr);
    EXPECT_EQ(zo_list_contains(nullptr, &x_), 0);
    EXPECT_EQ(zo_list_remove(&list_, &x_), 0);
    EXPECT_EQ(zo_list_remove(nullptr, &x_), 0);
    EXPECT_EQ(zo_list_append(nullptr, &x_), -32);
    EXPECT_EQ(zo_list_prepend(nullptr, &x_), -32);
    zo_list_destroy(nullptr);
}

TEST_F(ListTest, RemoveUnlinksTheFirstMatchOnly) {
    for (int* data : {&w_, &x_, &y_, &x_}) {
        ASSERT_EQ(zo_list_append(&list_, data), 0);
    }
    const int32_t frees = g_free_counter;
    EXPECT_EQ(zo_list_remove(&list_, &x_), 1);
    EXPECT_EQ(g_free_counter, frees + 1);
    ASSERT_EQ(zo_list_length(list_), 3u);
    EXPECT_EQ(zo_list_data_at(list_, 1), &y_);
    EXPECT_EQ(zo_list_data_at(list_, 2), &x_);

    EXPECT_EQ(zo_list_remove(&list_, &x_), 1);
    EXPECT_EQ(zo_list_remove(&list_, &x_), 0);
    EXPECT_EQ(zo_list_length(list_), 2u);
}

TEST_F(ListTest, RemovingTheHeadMovesTheCallersPointer) {
    ASSERT_EQ(zo_list_append(&list_, &w_), 0);
    ASSERT_EQ(zo_list_append(&list_, &x_), 0);
    zo_list* second = list_->next;
    EXPECT_EQ(zo_list_remove(&list_, &w_), 1);
    EXPECT_EQ(list_, second);
    EXPECT_EQ(zo_list_remove(&list_, &x_), 1);
    EXPECT_EQ(list_, nullptr);
}

TEST_F(ListTest, DestroyFreesOneElementOnly) {
    for (int* data : {&w_, &x_, &y_}) {
        ASSERT_EQ(zo_list_append(&list_, data), 0);
    }
    zo_list* rest = list_->next;
    const int32_t frees = g_free_counter;
    zo_list_destroy(list_);
    list_ = rest;
    EXPECT_EQ(g_free_counter, frees + 1);
    EXPECT_EQ(zo_list_length(list_), 2u);
    EXPECT_EQ(zo_list_data_at(list_, 0), &x_);
    EXPECT_EQ(zo_list_data_at(list_, 1), &y_);
}

TEST_F(ListTest, FailedAllocationLeavesTheListUnchanged) {
    ASSERT_EQ(zo_list_append(&list_, &w_), 0);
    zovesk_test::LogCapture log;
    g_alloc_error = g_alloc_counter;
    EXPECT_EQ(zo_list_append(&list_, &x_), -4);
    EXPECT_EQ(zo_list_prepend(&list_, &x_), -4);
    EXPECT_EQ(zo_list_create(), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "could not create new list element"));
    EXPECT_EQ(log.records().back().tag, "ZO_LIST[XOS]");
    EXPECT_EQ(zo_list_length(list_), 1u);
    EXPECT_EQ(zo_list_data_at(list_, 0), &w_);
}

}  // namespace
