// zovesk-demo: builds a small camera-like graph descriptor in memory (a
// sensor, an ISA program group and a sink, with ports and connections) and
// prints it through the library's tree dump.

#include <cstdio>
#include <memory>
#include <string>

#include "velt.h"

namespace {

using namespace VELT;

void printMessage(uint32_t /*level*/, const char* /*tag*/, const char* message, void* /*context*/) {
    std::printf("%s\n", message);
}

// A key for a name, added to the dictionary when it is new.
uint32_t keyOf(const std::string& name) {
    uint32_t key = ItemUID::str2key(name);
    return key != kKeyNa ? key : ItemUID::generateKey(name);
}

GraphConfigNode* addBlock(GraphConfigNode& parent, const std::string& type,
                          const std::string& name) {
    auto* block = new GraphConfigNode();
    block->addValue(kKeyType, type);
    block->addValue(kKeyName, name);
    parent.insertDescendant(block, keyOf(name));
    return block;
}

GraphConfigNode* addPort(GraphConfigNode& block, const std::string& name, int direction,
                         const std::string& peer) {
    GraphConfigNode* port = addBlock(block, "port", name);
    port->addValue(kKeyDirection, direction);
    port->addValue(kKeyContentType, std::string("pixel_data"));
    port->addValue(kKeyPeer, peer);
    return port;
}

std::unique_ptr<GraphConfigNode> buildDescriptor() {
    auto root = std::make_unique<GraphConfigNode>();
    root->addValue(kKeyVersion, std::string("1.0"));

    GraphConfigNode* sensor = addBlock(*root, "sensor", "imx_sensor");
    sensor->addValue(kKeyWidth, 4096);
    sensor->addValue(kKeyHeight, 3072);
    addPort(*sensor, "output", 1, "isa:input");

    GraphConfigNode* isa = addBlock(*root, "program_group", "isa");
    isa->addValue(kKeyPgId, 1);
    isa->addValue(kKeyExecCtxId, 0);
    addPort(*isa, "input", 0, "imx_sensor:output");
    GraphConfigNode* output = addPort(*isa, "output", 1, "video_sink");
    output->addValue(kKeyFormat, std::string("nv12"));
    output->addValue(kKeyWidth, 1920);
    output->addValue(kKeyHeight, 1080);

    GraphConfigNode* sink = addBlock(*root, "sink", "video_sink");
    sink->addValue(kKeyStreamId, 60000);
    return root;
}

}  // namespace

int main() {
    std::unique_ptr<GraphConfigNode> descriptor = buildDescriptor();
    if (!descriptor) {
        std::fprintf(stderr, "zovesk-demo: could not build the graph\n");
        return 1;
    }

    zo_log_common_set_sink(&printMessage, nullptr);
    std::printf("graph descriptor (%d items at the top level):\n",
                descriptor->getDescendantCount());
    GraphConfigNode::dumpNodeTree(descriptor.get(), 1);

    NodeIterator ports(descriptor->getDescendantByString("isa"));
    std::printf("ports of isa:\n");
    while (IGraphConfig* port = ports.iterateByType(kKeyPort)) {
        std::string peer;
        port->getValue(kKeyPeer, peer);
        std::printf("  %s -> %s\n", port->getName().c_str(), peer.c_str());
    }
    zo_log_common_set_sink(nullptr, nullptr);
    return 0;
}
