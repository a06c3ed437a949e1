// A C++ program on the installed headers: reads a descriptor and settings,
// builds the result graph of one entry and its kernel lists.
//   cpp_consumer DESCRIPTOR SETTINGS KEY
#include <velt.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "cpp_consumer: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return fail("usage: cpp_consumer DESCRIPTOR SETTINGS KEY");
    }
    VELT::VELTParser parser;
    VELT::IGraphConfig* descriptorRoot = nullptr;
    VELT::IGraphConfig* settingsRoot = nullptr;
    parser.parseVELTXmlFile(argv[1], &descriptorRoot);
    parser.parseVELTXmlFile(argv[2], &settingsRoot);
    std::unique_ptr<VELT::IGraphConfig> descriptor(descriptorRoot);
    std::unique_ptr<VELT::IGraphConfig> settings(settingsRoot);
    if (!descriptor || !settings) {
        return fail("the documents were not read");
    }

    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor.get());
    manager.setGraphSettings(settings.get());
    std::vector<VELT::IGraphConfig*> entries;
    if (manager.queryGraphs({{VELT::ItemUID("key"), argv[3]}}, entries, true) != VELT::err_none ||
        entries.size() != 1) {
        return fail("the entry was not found");
    }

    VELT::IGraphConfig* graph = nullptr;
    VELT::Status built = manager.createGraph(entries.front(), &graph);
    std::unique_ptr<VELT::IGraphConfig, void (*)(VELT::IGraphConfig*)> owned(
        graph, VELT::GraphQueryManager::destroyGraph);
    if (built != VELT::err_none) {
        return fail("the result graph was not built");
    }
    VELT::QelPekUtils builder(true);
    zo_isp_qel_program_group lists{};
    if (builder.initPekUtils(graph) != VELT::err_none ||
        builder.getProgramGroup(1, lists) != VELT::err_none || lists.kernel_count == 0) {
        return fail("no kernel list for stream 1");
    }
    std::printf("entry %s: %u kernels for stream 1 (libzovesk %s)\n", argv[3],
                static_cast<unsigned>(lists.kernel_count), zo_vesk_get_version());
    return 0;
}
