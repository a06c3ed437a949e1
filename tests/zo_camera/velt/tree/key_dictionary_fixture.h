// Tests that change the process-wide key dictionary restore it afterwards,
// so every test starts from the built-in table.
#ifndef ZOVESK_TESTS_TREE_KEY_DICTIONARY_FIXTURE_H
#define ZOVESK_TESTS_TREE_KEY_DICTIONARY_FIXTURE_H

#include <gtest/gtest.h>

#include "velt_item_uid.h"

namespace zovesk_test {

class KeyDictionaryTest : public ::testing::Test {
  protected:
    void SetUp() override { VELT::getVeltKeys(saved_); }
    void TearDown() override { VELT::copyVeltKeys(saved_); }

  private:
    VELT::KeyMap saved_;
};

}  // namespace zovesk_test

#endif
