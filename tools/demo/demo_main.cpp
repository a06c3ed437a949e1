// zovesk-demo: reads a graph descriptor and its graph settings (the bundled
// examples unless paths are given), checks that they belong together, shows
// which settings entries a few typical camera queries select, and builds and
// prints the result graph of one entry (the first one unless a key is given).
//
//   zovesk-demo [settings-key] [descriptor.xml[.gz] settings.xml[.gz]]

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "print_tree.h"
#include "velt_graph_config.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "velt_parser.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphQueryCriteria;
using VELT::IGraphConfig;
using VELT::ItemUID;
using Tree = std::unique_ptr<IGraphConfig>;

void printProblem(uint32_t level, const char* tag, const char* message, void* /*context*/) {
    if ((level & (ZO_LOG_ERROR | ZO_LOG_WARNING)) != 0) {
        std::fprintf(stderr, "%s: %s\n", tag, message);
    }
}

bool exists(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

// The build copies the examples (and their gzip twins) to <build>/examples,
// next to <build>/tools where this program lives.
std::string examplesDir() {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length > 0) {
        std::string dir(self, static_cast<size_t>(length));
        dir = dir.substr(0, dir.find_last_of('/'));
        char built[4096];
        if (realpath((dir + "/../examples").c_str(), built) != nullptr &&
            exists(std::string(built) + "/camera_descriptor.xml")) {
            return built;
        }
    }
    return ZOVESK_DEMO_SOURCE_EXAMPLES;
}

Tree read(VELT::VELTParser& parser, const std::string& path) {
    IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(path.c_str(), &root);
    return Tree(root);
}

std::string text(const IGraphConfig* node, const std::string& path) {
    std::string value;
    if (node->getValue(ItemUID(path), value) != 0) {
        int number = 0;
        if (node->getValue(ItemUID(path), number) != 0) {
            return "-";
        }
        value = std::to_string(number);
    }
    return value;
}

// One line per stream that the entry configures.
void printEntry(const IGraphConfig* entry) {
    std::printf("  settings key %s: graph %s, sensor mode %s, %s fps\n", text(entry, "key").c_str(),
                text(entry, "id").c_str(), text(entry, "sensor:mode_id").c_str(),
                text(entry, "fps").c_str());
    for (const char* stream : {"video", "still", "raw"}) {
        const std::string prefix = std::string(stream) + ":";
        if (ItemUID::str2key(stream) == 0 || entry->getDescendantByString(stream) == nullptr) {
            continue;
        }
        std::printf("    %-6s %sx%s %s\n", stream, text(entry, prefix + "width").c_str(),
                    text(entry, prefix + "height").c_str(), text(entry, prefix + "format").c_str());
    }
}

void runQuery(VELT::GraphQueryManager& manager, const char* title,
              const GraphQueryCriteria& criteria, bool strict) {
    std::vector<IGraphConfig*> entries;
    const int status = manager.queryGraphs(criteria, entries, strict);
    std::printf("\nquery: %s (%s): %zu entr%s\n", title, strict ? "all criteria" : "any criterion",
                entries.size(), entries.size() == 1 ? "y" : "ies");
    if (status != 0) {
        std::printf("  nothing matches (status %d)\n", status);
    }
    for (const IGraphConfig* entry : entries) {
        printEntry(entry);
    }
}

// Builds the result graph of the entry whose "key" is key (the first entry when key is
// empty) and prints it. Returns the process exit code.
int printResultGraph(VELT::GraphQueryManager& manager, const std::string& key) {
    GraphQueryCriteria criteria;  // strict and empty: every entry
    if (!key.empty()) {
        criteria[ItemUID({VELT::kKeyKey})] = key;
    }
    std::vector<IGraphConfig*> entries;
    if (manager.queryGraphs(criteria, entries, true) != 0 || entries.empty()) {
        std::fprintf(stderr, "no settings entry with key %s\n", key.c_str());
        return 1;
    }
    IGraphConfig* graph = nullptr;
    const int status = manager.createGraph(entries.front(), &graph);
    std::printf("\nresult graph of settings key %s (graph %s):\n",
                text(entries.front(), "key").c_str(), text(entries.front(), "id").c_str());
    if (status != 0) {
        std::printf("  could not be built (status %d)\n", status);
    } else {
        zovesk_demo::printTree(*static_cast<VELT::GraphConfigNode*>(graph), stdout, 1);
    }
    VELT::GraphQueryManager::destroyGraph(graph);
    return status == 0 ? 0 : 1;
}

bool isNumber(const char* argument) {
    char* end = nullptr;
    std::strtol(argument, &end, 10);
    return end != argument && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    zo_log_common_set_sink(printProblem, nullptr);

    std::string key;
    if (argc == 2 || argc == 4) {
        if (!isNumber(argv[1])) {
            std::fprintf(stderr,
                         "usage: %s [settings-key] [descriptor.xml[.gz] settings.xml[.gz]]\n",
                         argv[0]);
            return 2;
        }
        key = argv[1];
        --argc;
        ++argv;
    }
    std::string descriptorPath;
    std::string settingsPath;
    if (argc == 3) {
        descriptorPath = argv[1];
        settingsPath = argv[2];
    } else if (argc == 1) {
        const std::string dir = examplesDir();
        descriptorPath = dir + "/camera_descriptor.xml";
        // Read the compressed twin when the build made one.
        settingsPath = dir + "/camera_settings.xml.gz";
        if (!exists(settingsPath)) {
            settingsPath = dir + "/camera_settings.xml";
        }
    } else {
        std::fprintf(stderr, "usage: %s [settings-key] [descriptor.xml[.gz] settings.xml[.gz]]\n",
                     argv[0]);
        return 2;
    }

    VELT::VELTParser parser;
    Tree descriptor = read(parser, descriptorPath);
    Tree settings = read(parser, settingsPath);
    if (!descriptor || !settings) {
        std::fprintf(stderr, "could not read %s\n",
                     !descriptor ? descriptorPath.c_str() : settingsPath.c_str());
        return 1;
    }
    std::printf("descriptor: %s (version %s)\n", descriptorPath.c_str(),
                text(descriptor.get(), "version").c_str());
    std::printf("settings:   %s (version %s)\n", settingsPath.c_str(),
                text(settings.get(), "version").c_str());

    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor.get());
    manager.setGraphSettings(settings.get());

    runQuery(manager, "every configuration", {}, true);
    runQuery(manager, "1080p video",
             {{ItemUID("video:width"), "1920"}, {ItemUID("video:height"), "1080"}}, true);
    runQuery(manager, "10-bit video or still",
             {{ItemUID("video:format"), "YUV420_10_SP"}, {ItemUID("still:format"), "YUV420_10_SP"}},
             false);

    // Narrow an earlier answer down: raw capture, then the binned sensor mode.
    std::vector<IGraphConfig*> raw;
    manager.queryGraphs({{ItemUID("id"), "101"}}, raw, true);
    std::vector<IGraphConfig*> binned;
    const int status =
        manager.queryGraphs({{ItemUID("sensor:mode_id"), "2104x1560_binned"}}, raw, binned, true);
    std::printf("\nquery: binned raw capture, from %zu raw entries: %zu entr%s\n", raw.size(),
                binned.size(), binned.size() == 1 ? "y" : "ies");
    for (const IGraphConfig* entry : binned) {
        printEntry(entry);
    }
    if (status != 0) {
        return 1;
    }
    return printResultGraph(manager, key);
}
