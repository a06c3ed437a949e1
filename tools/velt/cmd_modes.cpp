// velt modes SETTINGS: the sensor modes of a settings document with their
// sizes, binning and scaling, and the entries that choose each.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "kernel_render.h"
#include "node_view.h"
#include "text_table.h"
#include "velt_graph_camera_util.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

struct ModesOptions {
    std::string settings;
    std::string format;
};

// One stage of the sensor (pixel array, binner, scaler): what enters and what leaves.
struct Stage {
    bool present = false;
    zo_isp_qel_resolution_info resolution{};
};

struct SensorMode {
    std::string name;
    std::optional<int> width;
    std::optional<int> height;
    std::optional<int> fps;
    Stage pixelArray;
    Stage binner;
    int binningH = 1;
    int binningV = 1;
    Stage scaler;
    int scalingNum = 1;
    int scalingDenom = 1;
    std::vector<int> entries;  // keys of the settings entries that choose it
};

void readSize(const VELT::IGraphConfig& node, int32_t& width, int32_t& height, zo_rectangle& crop) {
    width = intAttribute(node, "width").value_or(0);
    height = intAttribute(node, "height").value_or(0);
    crop.left = intAttribute(node, "left").value_or(0);
    crop.top = intAttribute(node, "top").value_or(0);
    crop.right = intAttribute(node, "right").value_or(0);
    crop.bottom = intAttribute(node, "bottom").value_or(0);
}

Stage readStage(const VELT::IGraphConfig& mode, const std::string& name) {
    Stage stage;
    VELT::IGraphConfig* node = childNamed(mode, name);
    if (node == nullptr) {
        return stage;
    }
    stage.present = true;
    zo_isp_qel_resolution_info& info = stage.resolution;
    if (VELT::IGraphConfig* input = childNamed(*node, "input")) {
        readSize(*input, info.input_width, info.input_height, info.input_crop);
    }
    if (VELT::IGraphConfig* output = childNamed(*node, "output")) {
        readSize(*output, info.output_width, info.output_height, info.output_crop);
    }
    return stage;
}

SensorMode readMode(const VELT::IGraphConfig& node, const VELT::IGraphConfig& settings) {
    SensorMode mode;
    mode.name = displayName(node);
    mode.width = intAttribute(node, "width");
    mode.height = intAttribute(node, "height");
    mode.fps = intAttribute(node, "fps");
    mode.pixelArray = readStage(node, "pixel_array");
    mode.binner = readStage(node, "binner");
    mode.scaler = readStage(node, "scaler");
    // The factors as the camera layer reads them, from the stage that holds them.
    if (VELT::IGraphConfig* binner = childNamed(node, "binner")) {
        VELT::GraphCameraUtil::sensorGetBinningFactor(binner, mode.binningH, mode.binningV);
    }
    if (VELT::IGraphConfig* scaler = childNamed(node, "scaler")) {
        VELT::GraphCameraUtil::sensorGetScalingFactor(scaler, mode.scalingNum, mode.scalingDenom);
    }
    for (VELT::IGraphConfig* entry : settingsEntries(settings)) {
        VELT::IGraphConfig* sensor = childNamed(*entry, "sensor");
        if (sensor != nullptr && textAttribute(*sensor, "mode_id").value_or("") == mode.name) {
            mode.entries.push_back(entryKey(*entry));
        }
    }
    return mode;
}

std::string sizeText(const SensorMode& mode) {
    return mode.width && mode.height
               ? std::to_string(*mode.width) + "x" + std::to_string(*mode.height)
               : "-";
}

std::string stageText(const Stage& stage) {
    return stage.present ? resolutionText(stage.resolution) : "-";
}

nlohmann::json stageJson(const Stage& stage) {
    return stage.present ? resolutionJson(stage.resolution) : nlohmann::json();
}

nlohmann::json optionalJson(const std::optional<int>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json();
}

void printModes(const VELT::IGraphConfig& modes, const std::vector<SensorMode>& list,
                std::ostream& out) {
    for (const char* name : {"sensor_type", "cmc_tag", "description"}) {
        if (auto value = textAttribute(modes, name)) {
            out << name << ": " << *value << '\n';
        }
    }
    TextTable table({"mode", "size", "fps", "pixel array", "binning", "binner", "scaling", "scaler",
                     "entries"});
    for (const SensorMode& mode : list) {
        std::string entries;
        for (int key : mode.entries) {
            entries += (entries.empty() ? "" : ",") + std::to_string(key);
        }
        table.addRow({mode.name, sizeText(mode), mode.fps ? std::to_string(*mode.fps) : "-",
                      stageText(mode.pixelArray),
                      std::to_string(mode.binningH) + "x" + std::to_string(mode.binningV),
                      stageText(mode.binner),
                      std::to_string(mode.scalingNum) + "/" + std::to_string(mode.scalingDenom),
                      stageText(mode.scaler), entries.empty() ? "-" : entries});
    }
    table.print(out);
}

nlohmann::json modesJson(const VELT::IGraphConfig& modes, const std::vector<SensorMode>& list) {
    nlohmann::json result = nlohmann::json::object();
    for (const char* name : {"sensor_type", "cmc_tag", "description"}) {
        auto value = textAttribute(modes, name);
        result[name] = value ? nlohmann::json(*value) : nlohmann::json();
    }
    result["modes"] = nlohmann::json::array();
    for (const SensorMode& mode : list) {
        result["modes"].push_back({{"name", mode.name},
                                   {"width", optionalJson(mode.width)},
                                   {"height", optionalJson(mode.height)},
                                   {"fps", optionalJson(mode.fps)},
                                   {"pixel_array", stageJson(mode.pixelArray)},
                                   {"binner",
                                    {{"h_factor", mode.binningH},
                                     {"v_factor", mode.binningV},
                                     {"resolution", stageJson(mode.binner)}}},
                                   {"scaler",
                                    {{"num_factor", mode.scalingNum},
                                     {"denom_factor", mode.scalingDenom},
                                     {"resolution", stageJson(mode.scaler)}}},
                                   {"entries", mode.entries}});
    }
    return result;
}

int runModes(const ModesOptions& options, const CommandOutput& output) {
    Tree settings = readDocument(options.settings, DocumentKind::kSettings);
    VELT::IGraphConfig* modes = childNamed(*settings, "sensor_modes");
    if (modes == nullptr) {
        throw ToolError("the graph settings have no <sensor_modes>", kExitFailed);
    }
    std::vector<SensorMode> list;
    {
        // A stage without factors is reported as 1x1 and 1/1; the accessors' complaints
        // about it would say no more.
        LogCapture quiet(ZO_LOG_ERROR | ZO_LOG_WARNING);
        for (VELT::IGraphConfig* node : childNodesOf(*modes)) {
            list.push_back(readMode(*node, *settings));
        }
    }
    if (output.json()) {
        output.printJson({{"sensor_modes", modesJson(*modes, list)}}, std::cout);
    } else {
        printModes(*modes, list, std::cout);
    }
    return kExitOk;
}

}  // namespace

Command addModesCommand(CLI::App& parent) {
    auto options = std::make_shared<ModesOptions>();
    CLI::App* command = parent.add_subcommand(
        "modes",
        "The sensor modes of a settings document: sizes, binning, scaling, and the entries "
        "that choose each");
    command
        ->add_option("SETTINGS", options->settings,
                     "Graph settings (.xml, .gz, or - for standard input)")
        ->required();
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options](const CommandOutput& output) { return runModes(*options, output); },
            [options] {
                return InputFiles{{"settings", options->settings}};
            },
            [options] { return options->format; }};
}

}  // namespace velt_tool
