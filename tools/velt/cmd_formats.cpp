// velt formats [NAME|FOURCC] [--width W --height H]: the pixel-format table,
// or one format with its line stride, buffer size and DEC400 layout.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli_common.h"
#include "commands.h"
#include "text_table.h"
#include "velt_dec400util.h"
#include "velt_formats.h"

namespace velt_tool {

namespace {

struct FormatsOptions {
    std::string format;
    std::string which;
    long long width = -1;
    long long height = -1;
};

std::string fourccChars(uint32_t fourcc) {
    std::string chars;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((fourcc >> shift) & 0xff);
        chars += (c >= 0x20 && c < 0x7f) ? c : '.';
    }
    return chars;
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string planesText(const VELTFormats::zo_format_t& format) {
    std::string text;
    for (const auto& plane : format.planes) {
        text += (text.empty() ? "" : ",") + plane.first + ":" + std::to_string(plane.second);
    }
    return text.empty() ? "-" : text;
}

// The record a NAME or FOURCC argument names: a format name first, then four
// fourcc characters, then a number.
const VELTFormats::zo_format_t* findFormat(const std::string& which) {
    const auto& table = VELTFormats::gVELTFormats;
    for (const auto& format : table) {
        if (format.name == which) {
            return &format;
        }
    }
    if (which.size() == 4) {
        for (const auto& format : table) {
            if (fourccChars(format.fourcc) == which) {
                return &format;
            }
        }
    }
    if (!which.empty() && which[0] >= '0' && which[0] <= '9') {
        long long code = parseNumber(which, "fourcc");
        for (const auto& format : table) {
            if (static_cast<long long>(format.fourcc) == code) {
                return &format;
            }
        }
    }
    return nullptr;
}

nlohmann::json formatJson(const VELTFormats::zo_format_t& format) {
    nlohmann::json planes = nlohmann::json::array();
    for (const auto& plane : format.planes) {
        planes.push_back({{"name", plane.first}, {"bits", plane.second}});
    }
    return {{"name", format.name},
            {"fourcc", format.fourcc},
            {"fourcc_hex", hex(format.fourcc)},
            {"fourcc_chars", fourccChars(format.fourcc)},
            {"type", format.type},
            {"bpp", format.bpp},
            {"depth", format.depth},
            {"storage_bits", format.storageBits},
            {"packing", format.packing},
            {"compressed", format.compressed != 0},
            {"planes", planes}};
}

int printTable(const FormatsOptions& options, const CommandOutput& output) {
    const auto& table = VELTFormats::gVELTFormats;
    if (parseOutputFormat(options.format) == OutputFormat::kJson) {
        nlohmann::json all = nlohmann::json::array();
        for (const auto& format : table) {
            all.push_back(formatJson(format));
        }
        output.printJson({{"formats", all}}, std::cout);
        return kExitOk;
    }
    TextTable out({"name", "fourcc", "chars", "type", "bpp", "depth", "storage", "packing",
                   "compressed", "planes"});
    for (const auto& format : table) {
        out.addRow({format.name, hex(format.fourcc), fourccChars(format.fourcc), format.type,
                    std::to_string(format.bpp), std::to_string(format.depth),
                    std::to_string(format.storageBits), std::to_string(format.packing),
                    format.compressed ? "yes" : "no", planesText(format)});
    }
    out.print(std::cout);
    return kExitOk;
}

int printOne(const FormatsOptions& options, const CommandOutput& output) {
    const VELTFormats::zo_format_t* found = findFormat(options.which);
    if (found == nullptr) {
        throw ToolError("unknown format '" + options.which + "' (see 'velt formats')", kExitFailed);
    }
    const VELTFormats::zo_format_t& format = *found;
    nlohmann::json result = formatJson(format);
    if (options.width >= 0) {
        unsigned width = static_cast<unsigned>(options.width);
        result["width"] = width;
        result["bpl"] = VELTFormats::getBpl(format, width);
    }
    if (options.height >= 0) {
        unsigned width = static_cast<unsigned>(options.width);
        unsigned height = static_cast<unsigned>(options.height);
        unsigned offsets[3] = {0, 0, 0};
        unsigned sizes[3] = {0, 0, 0};
        result["height"] = height;
        result["buffer_size"] =
            VELTFormats::calculateBufferSize(format, width, height, 0, offsets, sizes);
        if (format.compressed) {
            unsigned planes = dec400util::numberOfPlanes(format.fourcc);
            nlohmann::json tileStatus = nlohmann::json::array();
            for (unsigned i = 0; i < planes && i < 3; ++i) {
                tileStatus.push_back({{"plane", i}, {"offset", offsets[i]}, {"size", sizes[i]}});
            }
            result["dec400"] = {{"planes", planes}, {"tile_status", tileStatus}};
        }
    }
    if (parseOutputFormat(options.format) == OutputFormat::kJson) {
        output.printJson({{"format", result}}, std::cout);
        return kExitOk;
    }
    std::cout << "name:          " << format.name << '\n'
              << "fourcc:        " << hex(format.fourcc) << " (" << fourccChars(format.fourcc)
              << ")\n"
              << "type:          " << format.type << '\n'
              << "bpp:           " << format.bpp << '\n'
              << "depth:         " << format.depth << '\n'
              << "storage bits:  " << format.storageBits << '\n'
              << "packing:       " << format.packing << '\n'
              << "compressed:    " << (format.compressed ? "yes" : "no") << '\n'
              << "planes:        " << planesText(format) << '\n';
    if (result.contains("bpl")) {
        std::cout << "width:         " << result["width"].get<unsigned>() << '\n'
                  << "bytes/line:    " << result["bpl"].get<unsigned>() << '\n';
    }
    if (result.contains("buffer_size")) {
        std::cout << "height:        " << result["height"].get<unsigned>() << '\n'
                  << "buffer size:   " << result["buffer_size"].get<unsigned>() << '\n';
    }
    if (result.contains("dec400")) {
        const auto& dec400 = result["dec400"];
        std::cout << "DEC400 planes: " << dec400["planes"].get<unsigned>() << '\n';
        for (const auto& plane : dec400["tile_status"]) {
            std::cout << "  tile status " << plane["plane"].get<unsigned>() << ": offset "
                      << plane["offset"].get<unsigned>() << ", size "
                      << plane["size"].get<unsigned>() << '\n';
        }
    }
    return kExitOk;
}

int runFormats(const FormatsOptions& options, const CommandOutput& output) {
    if (options.height >= 0 && options.width < 0) {
        throw ToolError("--height needs --width");
    }
    if ((options.width >= 0 || options.height >= 0) && options.which.empty()) {
        throw ToolError("--width and --height need a format NAME or FOURCC");
    }
    VELTFormats::initVELTFormats();
    return options.which.empty() ? printTable(options, output) : printOne(options, output);
}

}  // namespace

Command addFormatsCommand(CLI::App& parent) {
    auto options = std::make_shared<FormatsOptions>();
    CLI::App* command = parent.add_subcommand(
        "formats", "The pixel-format table, or one format with its bytes per line and buffer size");
    command->add_option("FORMAT", options->which,
                        "Format name (YUV420_8_SP), fourcc characters (NV12) or fourcc number");
    command->add_option("--width", options->width, "Frame width in pixels")
        ->check(CLI::Range(0LL, 0xFFFFFFFFLL));
    command->add_option("--height", options->height, "Frame height in lines")
        ->check(CLI::Range(0LL, 0xFFFFFFFFLL));
    addFormatOption(*command, options->format, {"table", "json"});
    return {command,
            [options](const CommandOutput& output) { return runFormats(*options, output); },
            [] { return InputFiles{}; }, [options] { return options->format; }};
}

}  // namespace velt_tool
