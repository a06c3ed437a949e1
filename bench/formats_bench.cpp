// Format table lookups and bytes per line.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "velt_formats.h"
#include "zo_pifo_format.h"

namespace zovesk_bench {

namespace {

// Names from the start, middle and end of the table, and one that is missing.
const std::vector<std::string>& lookedUpNames() {
    static const std::vector<std::string> names = [] {
        VELTFormats::initVELTFormats();
        const auto& table = VELTFormats::gVELTFormats;
        return std::vector<std::string>{table.front().name, table[table.size() / 2].name,
                                        table.back().name, "NO_SUCH_FORMAT"};
    }();
    return names;
}

void BM_GetFormatByName(benchmark::State& state) {
    const auto& names = lookedUpNames();
    VELTFormats::zo_format_t format{};
    for (auto _ : state) {
        for (const std::string& name : names) {
            benchmark::DoNotOptimize(VELTFormats::getFormatByName(name, format));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}

void BM_GetFormatByFourcc(benchmark::State& state) {
    lookedUpNames();
    const auto& table = VELTFormats::gVELTFormats;
    const unsigned fourccs[] = {table.front().fourcc, table[table.size() / 2].fourcc,
                                table.back().fourcc, 0x12345678u};
    VELTFormats::zo_format_t format{};
    for (auto _ : state) {
        for (unsigned fourcc : fourccs) {
            benchmark::DoNotOptimize(VELTFormats::getFormatByFourcc(fourcc, format));
        }
    }
    state.SetItemsProcessed(state.iterations() * 4);
}

void BM_GetBplEveryFormat(benchmark::State& state) {
    lookedUpNames();
    std::vector<unsigned> fourccs;
    for (const auto& format : VELTFormats::gVELTFormats) {
        fourccs.push_back(format.fourcc);
    }
    for (auto _ : state) {
        for (unsigned fourcc : fourccs) {
            benchmark::DoNotOptimize(getBpl(fourcc, 1920));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fourccs.size()));
}

}  // namespace

BENCHMARK(BM_GetFormatByName);
BENCHMARK(BM_GetFormatByFourcc);
BENCHMARK(BM_GetBplEveryFormat);

}  // namespace zovesk_bench
