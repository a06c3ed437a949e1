// velt kernels: run-kernel lists per stream and program group and the sensor
// frame parameters, on the bundled documents of both kernel-list paths.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/examples.h"
#include "tool_runner.h"

namespace velt_test {
namespace {

std::string example(const std::string& name) {
    return zovesk_test::builtExamplePath(name);
}

nlohmann::json kernelsJson(const std::string& descriptor, const std::string& settings,
                           const std::string& key) {
    ToolResult result =
        runVelt({"kernels", descriptor, settings, "--key", key, "--format", "json"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(nlohmann::json::accept(result.out)) << result.out;
    return nlohmann::json::parse(result.out, nullptr, false)["kernels"];
}

nlohmann::json cameraKernels(const std::string& key) {
    return kernelsJson(descriptorPath(), settingsPath(), key);
}

const nlohmann::json& findGroup(const nlohmann::json& groups, const std::string& name) {
    for (const auto& group : groups) {
        if (group["name"] == name) {
            return group;
        }
    }
    ADD_FAILURE() << "no group " << name << " in " << groups.dump();
    static const nlohmann::json kNone = {{"kernels", nlohmann::json::array()}};
    return kNone;
}

const nlohmann::json& findKernel(const nlohmann::json& group, unsigned uuid) {
    for (const auto& kernel : group["kernels"]) {
        if (kernel["uuid"] == uuid) {
            return kernel;
        }
    }
    ADD_FAILURE() << "no kernel " << uuid << " in " << group.dump();
    static const nlohmann::json kNone = nlohmann::json::object();
    return kNone;
}

std::multiset<unsigned> uuidsOf(const nlohmann::json& group) {
    std::multiset<unsigned> uuids;
    for (const auto& kernel : group["kernels"]) {
        uuids.insert(kernel["uuid"].get<unsigned>());
    }
    return uuids;
}

// Every listed kernel carries its stream, a known enable state, four metadata
// values and a resolution history.
void expectCompleteRecords(const nlohmann::json& groups) {
    const std::set<std::string> states = {"enabled", "bypass", "disabled"};
    for (const auto& group : groups) {
        EXPECT_EQ(group["status"], 0) << group.dump();
        for (const auto& kernel : group["kernels"]) {
            EXPECT_EQ(kernel["stream_id"], group["stream_id"]) << kernel.dump();
            EXPECT_EQ(states.count(kernel["enable_name"].get<std::string>()), 1u) << kernel.dump();
            EXPECT_EQ(kernel["metadata"].size(), 4u);
            EXPECT_FALSE(kernel["resolution_history"].is_null()) << kernel.dump();
            EXPECT_FALSE(kernel["name"].get<std::string>().empty()) << kernel.dump();
        }
    }
}

TEST(VeltKernels, ExecutionContextListsPerStreamAndProgramGroup) {
    nlohmann::json lists = cameraKernels("6000");
    EXPECT_EQ(lists["path"], "execution_context");
    EXPECT_EQ(lists["generation"], 5);
    ASSERT_EQ(lists["streams"].size(), 3u);
    ASSERT_EQ(lists["program_groups"].size(), 3u);
    expectCompleteRecords(lists["streams"]);
    expectCompleteRecords(lists["program_groups"]);

    const nlohmann::json& stream = findGroup(lists["streams"], "stream 1");
    const nlohmann::json& isa = findGroup(lists["program_groups"], "isa_pg");
    EXPECT_EQ(uuidsOf(stream), uuidsOf(isa));
    ASSERT_EQ(isa["kernels"].size(), 5u);
    const nlohmann::json& blc = isa["kernels"][0];
    EXPECT_EQ(blc["uuid"], 11700);
    EXPECT_EQ(blc["name"], "isa_pg:isa_blc");
    EXPECT_EQ(blc["metadata"], nlohmann::json({1, 0, 0, 0}));
    EXPECT_EQ(blc["bpp"]["input"], 10);
    EXPECT_EQ(blc["bpp"]["output"], 12);
    // The sensor image enters with the receiver's crop of 8 on every edge.
    const nlohmann::json& entering = blc["resolution_history"];
    EXPECT_EQ(entering["input_width"], 4208);
    EXPECT_EQ(entering["input_crop"]["left"], 8);
    EXPECT_EQ(entering["input_crop"]["bottom"], 8);
    EXPECT_EQ(entering["output_width"], 4192);
    EXPECT_EQ(entering["output_height"], 3104);

    // The down-scaler's own resolution from the settings; the kernels after
    // it see its crop in sensor pixels.
    const nlohmann::json& bds = findKernel(isa, 5144);
    ASSERT_EQ(bds["resolution_info"].size(), 1u);
    EXPECT_EQ(bds["resolution_info"][0]["input_crop"]["left"], 48);
    EXPECT_EQ(bds["resolution_info"][0]["output_width"], 4096);
    const nlohmann::json& video = findGroup(lists["program_groups"], "video_pg");
    const nlohmann::json& demosaic = findKernel(video, 40423);
    EXPECT_EQ(demosaic["resolution_history"]["output_width"], 4096);
    EXPECT_EQ(demosaic["resolution_history"]["input_crop"]["left"], 8 + 48);
    EXPECT_EQ(demosaic["resolution_history"]["input_crop"]["top"], 8 + 16);
}

TEST(VeltKernels, EnableStatesFollowTheGraphAndTheEntry) {
    nlohmann::json preview = cameraKernels("6000");
    // Bypassed in the descriptor, switched on by the graph for every entry.
    EXPECT_EQ(findKernel(findGroup(preview["streams"], "stream 1"), 6326)["enable_name"],
              "enabled");
    EXPECT_EQ(findKernel(findGroup(preview["streams"], "stream 3"), 6801)["enable_name"], "bypass");
    // Stabilisation runs only in the entry that asks for it.
    EXPECT_EQ(findKernel(findGroup(preview["streams"], "stream 2"), 37235)["enable_name"],
              "disabled");
    nlohmann::json stabilised = cameraKernels("6001");
    EXPECT_EQ(findKernel(findGroup(stabilised["streams"], "stream 2"), 37235)["enable_name"],
              "enabled");
}

void expectFrameParams(const std::string& key, const std::map<std::string, int>& expected) {
    const nlohmann::json params = cameraKernels(key)["sensor_frame_params"];
    for (const auto& field : expected) {
        EXPECT_EQ(params[field.first], field.second) << key << " " << field.first;
    }
}

TEST(VeltKernels, SensorFrameParametersFollowTheSensorMode) {
    expectFrameParams("6000", {{"horizontal_crop_offset", 0},
                               {"cropped_image_width", 4208},
                               {"cropped_image_height", 3120},
                               {"horizontal_scaling_numerator", 1},
                               {"horizontal_scaling_denominator", 1}});
    // 2x2 binning of a 4200-wide window scaled by 2/3.
    expectFrameParams("6002", {{"cropped_image_width", 4200},
                               {"cropped_image_height", 3120},
                               {"horizontal_scaling_numerator", 2},
                               {"horizontal_scaling_denominator", 6},
                               {"vertical_scaling_denominator", 6}});
}

TEST(VeltKernels, SubgraphListsOfTheNewerGenerations) {
    for (int generation : {6, 7}) {
        const std::string prefix = "orba" + std::to_string(generation);
        nlohmann::json lists = kernelsJson(example(prefix + "_descriptor.xml"),
                                           example(prefix + "_settings.xml.gz"), "7000");
        EXPECT_EQ(lists["path"], "subgraph");
        EXPECT_EQ(lists["generation"], generation);
        expectCompleteRecords(lists["streams"]);
        expectCompleteRecords(lists["program_groups"]);

        const nlohmann::json& isp = findGroup(lists["streams"], "stream 0");
        EXPECT_EQ(isp["kernels"].size(), 9u);
        EXPECT_EQ(isp["tuning_mode"], 1);
        // The sharpener behind the inactive demux output is switched off on
        // generation 7 only.
        EXPECT_EQ(findKernel(isp, 60005)["enable_name"], generation == 7 ? "disabled" : "enabled");
        // The splitter has an output of its own per image.
        const nlohmann::json& splitter = findKernel(isp, 60007);
        ASSERT_EQ(splitter["resolution_info"].size(), 2u);
        EXPECT_EQ(splitter["resolution_info"][1]["output_width"], 1920);
        EXPECT_EQ(findKernel(isp, 60008)["resolution_history"]["input_crop"]["top"], 390);

        const nlohmann::json& post = findGroup(lists["program_groups"], "post");
        ASSERT_EQ(post["kernels"].size(), 2u);
        EXPECT_EQ(post["kernels"][0]["uuid"], 61001);
        EXPECT_EQ(post["kernels"][0]["name"], "post:post_nr");
        EXPECT_EQ(post["tuning_mode"], 2);
        EXPECT_EQ(lists["sensor_frame_params"]["cropped_image_width"], 4208);
    }
}

TEST(VeltKernels, TableNamesEveryGroupAndTheFrameParameters) {
    ToolResult result =
        runVelt({"kernels", descriptorPath() + ".gz", settingsPath() + ".gz", "--key", "6001"});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* text : {"== streams", "stream 1:", "== program groups",
                             "video_pg:", "still_pg:", "isa_pg:isa_bds", "bypass",
                             "== sensor frame parameters", "cropped size: 4208x3120"}) {
        EXPECT_NE(result.out.find(text), std::string::npos) << text << "\n" << result.out;
    }
}

TEST(VeltKernels, DotDrawsTheInnerKernelGraph) {
    for (const std::string prefix : {"orba6", "orba7"}) {
        ToolResult result =
            runVelt({"kernels", example(prefix + "_descriptor.xml"),
                     example(prefix + "_settings.xml"), "--key", "7000", "--format", "dot"});
        ASSERT_EQ(result.status, 0) << result.err;
        std::string errors;
        EXPECT_TRUE(renderDot(result.out, errors)) << errors << result.out;
        for (const char* text : {"cluster_subgraph_0", "cluster_subgraph_1", "sharp_sel", "demux",
                                 "uuid 60007", "->"}) {
            EXPECT_NE(result.out.find(text), std::string::npos) << prefix << ": " << text;
        }
    }

    ToolResult older = runVelt({"kernels", example("orba7_descriptor.xml"),
                                example("orba7_settings.xml"), "--key", "7000", "--format", "dot"});
    // The title names the entry, the graph and both documents; the sharpener
    // behind the demux output not taken is never reached; a legend explains.
    for (const char* text : {"inner kernel graph of settings 7000", "orba7_descriptor.xml",
                             "orba7_settings.xml", "cluster_legend"}) {
        EXPECT_NE(older.out.find(text), std::string::npos) << text;
    }
    EXPECT_NE(older.out.find("isp:sharpen_a\\nkernel\\nuuid 60005, disabled\\nnot reached"),
              std::string::npos)
        << older.out;
    EXPECT_NE(older.out.find("uuid 60002, enabled\\nin 4192x3104\\ncrop 8,8,8,8\\n4192x3104 -> "
                             "2096x1552"),
              std::string::npos)
        << older.out;
}

// The bundled descriptor with a branch point on isa_lsc, a restore point on
// isa_dpc, and a still sink that carries no pixel data, so that no
// execution context reaches still_pg.
std::string descriptorWithBranchAndUnreachedGroup() {
    std::string text = readFile(descriptorPath());
    auto replace = [&text](const std::string& from, const std::string& to) {
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    replace("name=\"isa_lsc\" pal_uuid=\"2144\" id=\"1\" enabled=\"1\"",
            "name=\"isa_lsc\" pal_uuid=\"2144\" id=\"1\" enabled=\"1\" branch_point=\"1\"");
    replace("name=\"isa_dpc\" pal_uuid=\"6326\" id=\"3\"",
            "name=\"isa_dpc\" pal_uuid=\"6326\" id=\"3\" restore_point=\"1\"");
    replace("<sink name=\"still\" content_type=\"pixel_data\"/>",
            "<sink name=\"still\" content_type=\"metadata\"/>");
    return text;
}

TEST(VeltKernels, DotDrawsExecutionContextLists) {
    ToolResult result =
        runVelt({"kernels", descriptorPath(), settingsPath(), "--key", "6000", "--format", "dot"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string errors;
    EXPECT_TRUE(renderDot(result.out, errors)) << errors << result.out;
    const std::vector<std::string> expected = {
        "kernel lists of settings 6000: preview_capture (graph 100)", "camera_descriptor.xml + ",
        "cluster_context_1", "cluster_context_2", "cluster_context_3", "cluster_group_isa_pg",
        "cluster_legend",
        // Kernels in slot order, the history entering each on the edge.
        "\"kernel isa_pg:isa_blc\" -> \"kernel isa_pg:isa_lsc\" [label=\"4192x3104\\ncrop "
        "8,8,8,8\"]",
        "\"kernel isa_pg:isa_dpc\" -> \"kernel isa_pg:isa_bds\"",
        // The down-scaler's own resolution on the kernel.
        "4192x3104 crop(48,16,48,16) -> 4096x3072",
        // Groups joined through their ports, both peers of isa_pg:output.
        "\"port isa_pg:output\" -> \"port video_pg:input\" [style=dashed]",
        "\"port isa_pg:output\" -> \"port still_pg:input\" [style=dashed]",
        "\"port video_pg:output\" -> \"block video\"", "\"block csi_be\" -> \"port isa_pg:input\"",
        // Stabilisation is off in this entry.
        "vid_dvs\\nuuid 37235, disabled\", color=grey70"};
    for (const std::string& text : expected) {
        EXPECT_NE(result.out.find(text), std::string::npos) << text << "\n" << result.out;
    }
    // Every kernel was reached: "not reached" is the legend's alone.
    EXPECT_EQ(result.out.find("\\nnot reached"), std::string::npos) << result.out;

    TempFile descriptor(descriptorWithBranchAndUnreachedGroup(), ".xml");
    ToolResult marked =
        runVelt({"kernels", descriptor.path(), settingsPath(), "--key", "6000", "--format", "dot"});
    ASSERT_EQ(marked.status, 0) << marked.err;
    EXPECT_TRUE(renderDot(marked.out, errors)) << errors;
    for (const std::string text :
         {"peripheries=2, label=\"isa_lsc\\nuuid 2144, enabled\\n4192x3104 -> 4192x3104\\nbranch "
          "point 1\"",
          "restore point 1",
          "\"kernel isa_pg:isa_lsc\" -> \"kernel isa_pg:isa_dpc\" [style=dotted, color=blue, "
          "fontcolor=blue, constraint=false, label=\"restore 1\"]",
          "\"kernel still_pg:demosaic\" [shape=box, label=\"demosaic\\nnot reached\", color=red",
          "\"kernel still_pg:demosaic\" -> \"kernel still_pg:ofs_yuv\""}) {
        EXPECT_NE(marked.out.find(text), std::string::npos) << text << "\n" << marked.out;
    }
}

TEST(VeltKernels, FailuresAreReportedWithTheLibrarysMessages) {
    ToolResult unknownKey = runVelt({"kernels", descriptorPath(), settingsPath(), "--key", "1234"});
    EXPECT_EQ(unknownKey.status, 2);
    EXPECT_NE(unknownKey.err.find("6000"), std::string::npos) << unknownKey.err;

    ToolResult missing = runVelt({"kernels", "/nonexistent.xml", settingsPath(), "--key", "6000"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

    TempFile descriptor(descriptorWithBadKernelIds(), ".xml");
    ToolResult broken = runVelt({"kernels", descriptor.path(), settingsPath(), "--key", "6000"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.empty());
    EXPECT_NE(broken.err.find("status -16"), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("Bad kernel id(s)"), std::string::npos) << broken.err;
}

// Messages with the addresses a few of them print by design ("%p") masked.
std::string withoutAddresses(const std::string& text) {
    static const std::regex kAddress("0x[0-9a-f]+");
    return std::regex_replace(text, kAddress, "0x?");
}

// Two runs in two processes (so the heap puts things elsewhere) print the same
// lists, graphs and messages, byte for byte: nothing the library walks is
// ordered by address.
TEST(VeltKernels, OutputIsTheSameFromRunToRun) {
    const std::vector<std::vector<std::string>> commands = {
        {"kernels", example("orba6_descriptor.xml"), example("orba6_settings.xml"), "--key", "7000",
         "--format", "dot"},
        {"kernels", example("orba7_descriptor.xml"), example("orba7_settings.xml"), "--key", "7000",
         "--format", "json"},
        {"kernels", descriptorPath(), settingsPath(), "--key", "6000", "--format", "json"},
        {"build", descriptorPath(), settingsPath(), "--key", "6000", "--format", "json"},
    };
    for (std::vector<std::string> command : commands) {
        // Messages too: debug, info, warnings and errors (not the allocation
        // trace, which prints addresses by design).
        command.push_back("--verbose=0x33");
        const ToolResult first = runVelt(command);
        const ToolResult second = runVelt(command);
        ASSERT_EQ(first.status, 0) << command[0] << " " << command[1] << ": " << first.err;
        EXPECT_FALSE(first.out.empty());
        EXPECT_EQ(first.out, second.out) << command[1];
        EXPECT_EQ(withoutAddresses(first.err), withoutAddresses(second.err)) << command[1];
    }
}

}  // namespace
}  // namespace velt_test
