// A reader made while memory ran out has no tree builder or name cache: every
// read through it, compiled documents included, must refuse with a null tree
// instead of building through the missing parts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "reliability/alloc_sweep/failing_new.h"
#include "support/examples.h"
#include "support/log_capture.h"
#include "velt_document_compiler.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"
#include "velt_parser.h"

namespace {

class ReaderMadeWithoutMemory : public ::testing::TestWithParam<int64_t> {
  protected:
    void SetUp() override {
        VELT::getVeltKeys(keys_);
        std::vector<uint8_t> image;
        ASSERT_EQ(VELT::DocumentCompiler::compile(
                      zovesk_test::examplePath("camera_descriptor.xml").c_str(), image),
                  0);
        compiledPath_ = ::testing::TempDir() + "zovesk_unmade_reader_" +
                        std::to_string(::getpid()) + "." + VELT::DocumentCompiler::kFileType;
        std::ofstream(compiledPath_, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }
    void TearDown() override {
        zovesk_test::disarmFailingNew();
        std::remove(compiledPath_.c_str());
        VELT::copyVeltKeys(keys_);
    }

    // Makes reader while allocation number GetParam() and every later one
    // fail; reader itself lives in place, so only its parts are refused.
    void makeStarved(std::optional<VELT::VELTParser>& reader) const {
        zovesk_test::armFailingNew(GetParam());
        reader.emplace();
        zovesk_test::disarmFailingNew();
    }

    std::string compiledPath_;

  private:
    VELT::KeyMap keys_;
};

TEST_P(ReaderMadeWithoutMemory, RefusesCompiledDocument) {
    // Made in full, the same reader reads the file: the refusal below is the
    // missing parts' doing.
    {
        VELT::VELTParser whole;
        VELT::IGraphConfig* read = nullptr;
        whole.parseVELTXmlFile(compiledPath_.c_str(), &read);
        ASSERT_NE(read, nullptr);
        delete read;
    }
    std::optional<VELT::VELTParser> parser;
    makeStarved(parser);
    zovesk_test::LogCapture log;
    VELT::IGraphConfig* sentinel = reinterpret_cast<VELT::IGraphConfig*>(&log);
    VELT::IGraphConfig* read = sentinel;
    parser->parseVELTXmlFile(compiledPath_.c_str(), &read);
    EXPECT_EQ(read, nullptr);
    if (read != sentinel) {
        delete read;
    }
    EXPECT_TRUE(log.contains("Out of memory reading"));
    EXPECT_TRUE(log.contains("Parser returned NULL!"));
}

// 0: neither the builder nor the name cache was made; 1: only the builder.
INSTANTIATE_TEST_SUITE_P(FirstFailedAllocation, ReaderMadeWithoutMemory,
                         ::testing::Values(int64_t{0}, int64_t{1}));

}  // namespace
