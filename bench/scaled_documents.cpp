// Generator of the scaled documents; deterministic, so every run reads the
// same bytes.

#include "scaled_documents.h"

#include <vector>

#include "velt_parser.h"

namespace zovesk_bench {

namespace {

std::string groupName(int group) {
    return "sd_pg" + std::to_string(group);
}

const char* const kBlockPorts =
    "<port name=\"input\" id=\"0\" direction=\"0\" content_type=\"pixel_data\"/>"
    "<port name=\"output\" id=\"1\" direction=\"1\" content_type=\"pixel_data\" "
    "format=\"GRBG_10\"/>";

std::string baseNode() {
    std::string text =
        "<base_node name=\"sd_pg_base\" base_type=\"program_group\" stream_id=\"1\" "
        "exec_ctx_id=\"1\" pg_id=\"0\" tuning_mode=\"0\">";
    text += kBlockPorts;
    for (int k = 0; k < 3; ++k) {
        text += "<kernel name=\"sd_k" + std::to_string(k) + "\" pal_uuid=\"" +
                std::to_string(2000 + k) + "\" id=\"" + std::to_string(k) + "\" enabled=\"1\"" +
                (k == 2 ? " sink_port=\"1\"" : "") +
                "><input bpp=\"10\"/><output bpp=\"10\"/></kernel>";
    }
    return text + "</base_node>";
}

}  // namespace

std::string scaledDescriptorText(int blocks) {
    const int graphBlocks = kScaledGraphGroups + 3;  // sensor, receiver, groups, sink
    std::string text =
        "<graph_descriptor version=\"ORBA5\"><nodes>"
        "<source name=\"sensor\" sensor_type=\"bayer\">"
        "<port name=\"port_0\" id=\"0\" direction=\"1\" content_type=\"pixel_data\" "
        "format=\"GRBG_10\"/></source>"
        "<hw name=\"csi_be\">";
    text += kBlockPorts;
    text += "</hw>";
    // Half of the padding before the graph's blocks, half after, so neither
    // end of the block list favours a lookup.
    const int padding = blocks > graphBlocks ? blocks - graphBlocks : 0;
    const auto pad = [&text](int from, int to) {
        for (int p = from; p < to; ++p) {
            text += "<hw name=\"sd_unused" + std::to_string(p) + "\">";
            text += kBlockPorts;
            text += "</hw>";
        }
    };
    pad(0, padding / 2);
    text += baseNode();
    for (int g = 0; g < kScaledGraphGroups; ++g) {
        text += "<program_group name=\"" + groupName(g) +
                "\" base_node=\"sd_pg_base\"><override target=\"pg_id\" value=\"" +
                std::to_string(g + 1) + "\"/></program_group>";
    }
    text += "<sink name=\"video\" content_type=\"pixel_data\"/>";
    pad(padding / 2, padding);
    text +=
        "</nodes><graphs><graph name=\"scaled\" id=\"1\">"
        "<connection source=\"sensor:port_0\" sink=\"csi_be:input\"/>"
        "<connection source=\"csi_be:output\" sink=\"" +
        groupName(0) + ":input\"/>";
    for (int g = 1; g < kScaledGraphGroups; ++g) {
        text += "<connection source=\"" + groupName(g - 1) + ":output\" sink=\"" + groupName(g) +
                ":input\"/>";
    }
    text +=
        "<connection source=\"" + groupName(kScaledGraphGroups - 1) + ":output\" sink=\"video\"/>";
    return text + "</graph></graphs></graph_descriptor>";
}

std::string scaledSettingsText(int entries) {
    const std::string full = "width=\"4208\" height=\"3120\"";
    const std::string stage = "<input " + full +
                              " left=\"0\" top=\"0\" right=\"0\" bottom=\"0\"/><output " + full +
                              " left=\"0\" top=\"0\" right=\"0\" bottom=\"0\"/>";
    std::string text =
        "<graph_settings version=\"ORBA5.1\"><sensor_modes sensor_type=\"bayer\">"
        "<sensor_mode name=\"full\" " +
        full + " fps=\"30\"><pixel_array>" + stage + "</pixel_array></sensor_mode></sensor_modes>";
    for (int e = 0; e < entries; ++e) {
        text += "<settings key=\"" + std::to_string(kScaledFirstKey + e) +
                "\" id=\"1\" fps=\"30\"><sensor mode_id=\"full\"><port_0 format=\"GRBG_10\" " +
                full + "/></sensor><csi_be><output format=\"GRBG_10\" " + full + "/></csi_be>";
        for (int g = 0; g < kScaledGraphGroups; ++g) {
            text += "<" + groupName(g) + "><input format=\"GRBG_10\" " + full +
                    "/><output format=\"GRBG_10\" " + full + "/></" + groupName(g) + ">";
        }
        text += "<video format=\"GRBG_10\" " + full + "/></settings>";
    }
    return text + "</graph_settings>";
}

std::unique_ptr<VELT::IGraphConfig> readDocumentText(const std::string& text) {
    std::vector<char> data(text.begin(), text.end());
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlData(data.data(), data.size(), &root);
    return std::unique_ptr<VELT::IGraphConfig>(root);
}

}  // namespace zovesk_bench
