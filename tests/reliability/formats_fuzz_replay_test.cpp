// The formats fuzz target on its former findings and on the corner values
// that overflow 32-bit size arithmetic, for every fourcc of the table.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/targets/formats_target.h"
#include "reliability/fuzz_inputs.h"
#include "support/log_capture.h"
#include "velt_dec400util.h"
#include "velt_formats.h"

namespace {

const uint32_t kCornerSizes[] = {0, 1, 31, 4097, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF};

// Builds a formats target input: fourcc, width, height, bpl, bit depth,
// extra memory (big-endian), two flags and a frame format.
std::string formatsInput(uint32_t fourcc, uint32_t size, uint32_t bitDepth, bool tnr) {
    std::string bytes;
    auto put = [&bytes](uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
        }
    };
    put(fourcc);
    put(size);
    put(size);
    put(size);
    put(bitDepth);
    put(size);
    bytes.push_back(tnr ? 1 : 0);
    bytes.push_back(1);
    put(fourcc & 0x3F);
    return bytes;
}

void run(const std::string& input) {
    zovesk_fuzz::runFormatsTarget(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

TEST(FormatsFuzzReplay, FormerFindingsRunClean) {
    zovesk_test::LogCapture log;
    for (const auto& input : zovesk_test::regressionInputs("formats")) {
        run(input);
    }
    // Short and empty inputs read as zeros.
    run("");
    run("N");
}

TEST(FormatsFuzzReplay, CornerSizesGiveAConsistentLayoutOrNone) {
    zovesk_test::LogCapture log;
    VELTFormats::initVELTFormats();
    ASSERT_FALSE(VELTFormats::gVELTFormats.empty());
    for (const auto& format : VELTFormats::gVELTFormats) {
        for (uint32_t size : kCornerSizes) {
            for (uint32_t depth : {0u, 8u, 10u, 12u, 0xFFFFFFFFu}) {
                run(formatsInput(format.fourcc, size, depth, size % 2 == 1));
                unsigned offsets[3] = {};
                unsigned sizes[3] = {};
                const unsigned total = VELTFormats::calculateDec400BufferSize(
                    format.fourcc, size, size, size, depth, offsets, sizes);
                if (total == 0) {
                    continue;
                }
                const unsigned planes = dec400util::numberOfPlanes(format.fourcc);
                for (unsigned plane = 0; plane < planes && plane < 3; ++plane) {
                    EXPECT_LE(uint64_t{offsets[plane]} + sizes[plane], total)
                        << format.name << " size " << size << " depth " << depth;
                    EXPECT_EQ(offsets[plane] % 4096, 0u) << format.name;
                }
            }
        }
    }
}

}  // namespace
