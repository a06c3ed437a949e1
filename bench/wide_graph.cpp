// Text of the wide documents, read and built into a result graph.

#include "wide_graph.h"

#include <string>
#include <vector>

#include "scaled_documents.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"

namespace zovesk_bench {

namespace {

// The vocabulary that differs between the generations.
struct Generation {
    const char* version;  // descriptor version text
    const char* block;    // element of a program group
    bool klinks;          // kernels chained by klinks instead of sink ports
};

Generation generation(int number) {
    return number >= 7 ? Generation{"ORBA7", "compute_block", true}
                       : Generation{"ORBA5", "program_group", false};
}

std::string kernels(const std::string& prefix, int count, int sinkPort, const Generation& gen) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += "<kernel name=\"" + prefix + "_k" + std::to_string(k) + "\" pal_uuid=\"" +
                std::to_string(1000 + k) + "\" id=\"" + std::to_string(k) + "\" enabled=\"1\"";
        if (k == count - 1 && !gen.klinks) {
            text += " sink_port=\"" + std::to_string(sinkPort) + "\"";
        }
        text += "><input bpp=\"10\"/><output bpp=\"10\"/></kernel>";
    }
    if (gen.klinks && count > 0) {
        const auto kernel = [&prefix](int k) { return prefix + "_k" + std::to_string(k); };
        text += "<klink source=\"input\" destination=\"" + kernel(0) + ":0\"/>";
        for (int k = 1; k < count; ++k) {
            text +=
                "<klink source=\"" + kernel(k - 1) + ":0\" destination=\"" + kernel(k) + ":0\"/>";
        }
        text += "<klink source=\"" + kernel(count - 1) + ":0\" destination=\"output\"/>";
    }
    return text;
}

const char* const kPorts =
    "<port name=\"input\" id=\"0\" direction=\"0\" content_type=\"pixel_data\"/>"
    "<port name=\"output\" id=\"1\" direction=\"1\" content_type=\"pixel_data\" "
    "format=\"GRBG_10\"/>";

std::string descriptorText(int groups, int kernelsPerGroup, const Generation& gen) {
    const std::string block = gen.block;
    std::string text = std::string("<graph_descriptor version=\"") + gen.version +
                       "\"><nodes>"
                       "<source name=\"sensor\" sensor_type=\"bayer\" subsystem=\"isys\">"
                       "<port name=\"port_0\" id=\"0\" direction=\"1\" content_type=\"pixel_data\" "
                       "format=\"GRBG_10\"/></source>"
                       "<hw name=\"csi_be\" subsystem=\"isys\">";
    text += kPorts;
    text += "</hw><" + block +
            " name=\"isa_pg\" stream_id=\"1\" exec_ctx_id=\"1\" pg_id=\"10\" "
            "tuning_mode=\"0\">";
    text += kPorts + kernels("isa", kernelsPerGroup, 1, gen) + "</" + block + ">";
    for (int g = 0; g < groups; ++g) {
        const std::string id = std::to_string(g + 2);
        text += "<" + block + " name=\"pg" + std::to_string(g) + "\" stream_id=\"" + id +
                "\" exec_ctx_id=\"" + id + "\" pg_id=\"" + std::to_string(g + 11) +
                "\" tuning_mode=\"1\">";
        text += kPorts + kernels("pg" + std::to_string(g), kernelsPerGroup, 1, gen) + "</" + block +
                ">";
        text += "<sink name=\"out" + std::to_string(g) + "\" content_type=\"pixel_data\"/>";
    }
    text +=
        "</nodes><graphs><graph name=\"wide\" id=\"100\">"
        "<connection source=\"sensor:port_0\" sink=\"csi_be:input\"/>"
        "<connection source=\"csi_be:output\" sink=\"isa_pg:input\"/>";
    for (int g = 0; g < groups; ++g) {
        const std::string pg = "pg" + std::to_string(g);
        text += "<connection source=\"isa_pg:output\" sink=\"" + pg + ":input\"/>";
        text += "<connection source=\"" + pg + ":output\" sink=\"out" + std::to_string(g) + "\"/>";
    }
    return text + "</graph></graphs></graph_descriptor>";
}

std::string settingsText(int groups) {
    const std::string full = "width=\"4208\" height=\"3120\"";
    const std::string stage = "<input " + full +
                              " left=\"0\" top=\"0\" right=\"0\" bottom=\"0\"/>" + "<output " +
                              full + " left=\"0\" top=\"0\" right=\"0\" bottom=\"0\"/>";
    std::string text =
        "<graph_settings version=\"ORBA5.1\"><sensor_modes sensor_type=\"bayer\">"
        "<sensor_mode name=\"full\" " +
        full + " fps=\"30\"><pixel_array>" + stage +
        "</pixel_array><binner h_factor=\"1\" v_factor=\"1\">" + stage +
        "</binner><scaler num_factor=\"1\" denom_factor=\"1\">" + stage +
        "</scaler></sensor_mode></sensor_modes>"
        "<settings key=\"6000\" id=\"100\" fps=\"30\">"
        "<sensor mode_id=\"full\"><port_0 format=\"GRBG_10\" " +
        full + "/></sensor><csi_be><output format=\"GRBG_10\" " + full +
        "/></csi_be><isa_pg><input format=\"GRBG_10\" " + full +
        "/><output format=\"GRBG_10\" width=\"4096\" height=\"3072\"/></isa_pg>";
    for (int g = 0; g < groups; ++g) {
        text += "<pg" + std::to_string(g) +
                "><input format=\"GRBG_10\" width=\"4096\" height=\"3072\"/>"
                "<output format=\"GRBG_10\" width=\"1920\" height=\"1080\"/></pg" +
                std::to_string(g) + ">";
        text += "<out" + std::to_string(g) + " format=\"GRBG_10\" width=\"1920\" height=\"1080\"/>";
    }
    return text + "</settings></graph_settings>";
}

}  // namespace

WideGraph::WideGraph(int programGroups, int kernelsPerGroup, int generationNumber)
    : descriptor_(readDocumentText(
          descriptorText(programGroups, kernelsPerGroup, generation(generationNumber)))),
      settings_(readDocumentText(settingsText(programGroups))) {
    if (!descriptor_ || !settings_) {
        return;
    }
    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor_.get());
    manager.setGraphSettings(settings_.get());
    std::vector<VELT::IGraphConfig*> entries;
    if (manager.queryGraphs({}, entries, true) != 0 || entries.empty() ||
        manager.createGraph(entries.front(), &graph_) != 0) {
        VELT::GraphQueryManager::destroyGraph(graph_);
        graph_ = nullptr;
    }
}

WideGraph::~WideGraph() {
    VELT::GraphQueryManager::destroyGraph(graph_);
}

}  // namespace zovesk_bench
