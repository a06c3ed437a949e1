#include "kernel_render.h"

#include <nlohmann/json.hpp>

#include "text_table.h"

namespace velt_tool {

namespace {

std::string metadataText(const RunKernelView& kernel) {
    return std::to_string(kernel.metadata[0]) + "," + std::to_string(kernel.metadata[1]) + "," +
           std::to_string(kernel.metadata[2]) + "," + std::to_string(kernel.metadata[3]);
}

std::string cropText(const zo_rectangle& crop) {
    if (crop.left == 0 && crop.top == 0 && crop.right == 0 && crop.bottom == 0) {
        return "";
    }
    return " crop(" + std::to_string(crop.left) + "," + std::to_string(crop.top) + "," +
           std::to_string(crop.right) + "," + std::to_string(crop.bottom) + ")";
}

nlohmann::json rectangleJson(const zo_rectangle& crop) {
    return {{"left", crop.left}, {"top", crop.top}, {"right", crop.right}, {"bottom", crop.bottom}};
}

void renderGroupTable(const KernelGroupView& group, std::ostream& out) {
    out << group.name << ": " << group.kernels.size() << " kernels, tuning mode "
        << group.tuningMode;
    if (group.status != 0) {
        out << " (status " << group.status << ")";
    }
    out << '\n';
    if (group.kernels.empty()) {
        return;
    }
    TextTable table(
        {"#", "uuid", "kernel", "enable", "metadata", "bpp in/out", "resolution", "history"});
    for (size_t i = 0; i < group.kernels.size(); ++i) {
        const RunKernelView& kernel = group.kernels[i];
        std::string resolution;
        for (const auto& info : kernel.resolutionInfos) {
            resolution += (resolution.empty() ? "" : " | ") + resolutionText(info);
        }
        table.addRow({std::to_string(i), std::to_string(kernel.uuid),
                      kernel.name.empty() ? "-" : kernel.name, enableName(kernel.enable),
                      metadataText(kernel),
                      std::to_string(kernel.bppIn) + "/" + std::to_string(kernel.bppOut),
                      resolution.empty() ? "-" : resolution,
                      kernel.hasHistory ? resolutionText(kernel.history) : "-"});
    }
    table.print(out);
}

nlohmann::json groupJson(const KernelGroupView& group) {
    nlohmann::json kernels = nlohmann::json::array();
    for (const RunKernelView& kernel : group.kernels) {
        nlohmann::json infos = nlohmann::json::array();
        for (const auto& info : kernel.resolutionInfos) {
            infos.push_back(resolutionJson(info));
        }
        kernels.push_back(
            {{"stream_id", kernel.streamId},
             {"uuid", kernel.uuid},
             {"name", kernel.name},
             {"enable", kernel.enable},
             {"enable_name", enableName(kernel.enable)},
             {"metadata",
              {kernel.metadata[0], kernel.metadata[1], kernel.metadata[2], kernel.metadata[3]}},
             {"bpp", {{"input", kernel.bppIn}, {"output", kernel.bppOut}}},
             {"resolution_info", infos},
             {"resolution_history",
              kernel.hasHistory ? resolutionJson(kernel.history) : nlohmann::json()}});
    }
    return {{"name", group.name},
            {"stream_id", group.streamId},
            {"tuning_mode", group.tuningMode},
            {"status", group.status},
            {"kernels", kernels}};
}

}  // namespace

std::string resolutionText(const zo_isp_qel_resolution_info& info) {
    return std::to_string(info.input_width) + "x" + std::to_string(info.input_height) +
           cropText(info.input_crop) + " -> " + std::to_string(info.output_width) + "x" +
           std::to_string(info.output_height) + cropText(info.output_crop);
}

nlohmann::json resolutionJson(const zo_isp_qel_resolution_info& info) {
    return {{"input_width", info.input_width},
            {"input_height", info.input_height},
            {"input_crop", rectangleJson(info.input_crop)},
            {"output_width", info.output_width},
            {"output_height", info.output_height},
            {"output_crop", rectangleJson(info.output_crop)}};
}

void renderKernelTable(const KernelListsView& view, std::ostream& out) {
    out << "generation " << view.generation << ", "
        << (view.subgraphPath ? "subgraph analysis" : "execution-context lists") << "\n\n";
    out << "== streams\n";
    for (const KernelGroupView& group : view.streams) {
        renderGroupTable(group, out);
        out << '\n';
    }
    out << "== program groups\n";
    for (const KernelGroupView& group : view.programGroups) {
        renderGroupTable(group, out);
        out << '\n';
    }
    out << "== sensor frame parameters\n";
    if (view.frameParamsStatus != 0) {
        out << "not available (status " << view.frameParamsStatus << ")\n";
        return;
    }
    const zo_yad_frame_params& frame = view.frameParams;
    out << "crop offset:  " << frame.horizontal_crop_offset << ", " << frame.vertical_crop_offset
        << '\n'
        << "cropped size: " << frame.cropped_image_width << "x" << frame.cropped_image_height
        << '\n'
        << "scaling:      horizontal " << unsigned(frame.horizontal_scaling_numerator) << "/"
        << unsigned(frame.horizontal_scaling_denominator) << ", vertical "
        << unsigned(frame.vertical_scaling_numerator) << "/"
        << unsigned(frame.vertical_scaling_denominator) << '\n';
}

nlohmann::json kernelListsJson(const KernelListsView& view) {
    nlohmann::json result = {{"generation", view.generation},
                             {"path", view.subgraphPath ? "subgraph" : "execution_context"},
                             {"streams", nlohmann::json::array()},
                             {"program_groups", nlohmann::json::array()}};
    for (const KernelGroupView& group : view.streams) {
        result["streams"].push_back(groupJson(group));
    }
    for (const KernelGroupView& group : view.programGroups) {
        result["program_groups"].push_back(groupJson(group));
    }
    if (view.frameParamsStatus == 0) {
        const zo_yad_frame_params& frame = view.frameParams;
        result["sensor_frame_params"] = {
            {"horizontal_crop_offset", frame.horizontal_crop_offset},
            {"vertical_crop_offset", frame.vertical_crop_offset},
            {"cropped_image_width", frame.cropped_image_width},
            {"cropped_image_height", frame.cropped_image_height},
            {"horizontal_scaling_numerator", frame.horizontal_scaling_numerator},
            {"horizontal_scaling_denominator", frame.horizontal_scaling_denominator},
            {"vertical_scaling_numerator", frame.vertical_scaling_numerator},
            {"vertical_scaling_denominator", frame.vertical_scaling_denominator}};
    } else {
        result["sensor_frame_params"] = nullptr;
        result["sensor_frame_params_status"] = view.frameParamsStatus;
    }
    return result;
}

}  // namespace velt_tool
