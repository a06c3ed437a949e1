// velt compile DOCUMENT -o OUT.veltbin | --check OUT.veltbin: compiled
// documents, made once when a camera image is built and read at every start.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "log_router.h"
#include "velt_document_compiler.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

struct CompileOptions {
    std::string document;
    std::string output;
    std::string check;
};

// The file name ending that marks a compiled document.
std::string compiledSuffix() {
    return std::string(".") + VELT::DocumentCompiler::kFileType;
}

std::vector<uint8_t> compileDocument(const std::string& path) {
    LogCapture errors(ZO_LOG_ERROR);
    std::vector<uint8_t> image;
    const int status = VELT::DocumentCompiler::compile(path.c_str(), image);
    if (status != 0) {
        throw ToolError(
            "cannot compile '" + path + "' (status " + std::to_string(status) + ")" +
            (errors.messages().empty() ? "" : ":\n" + describeMessages(errors.messages())));
    }
    return image;
}

// The reader picks the compiled form by the file type alone.
void requireCompiledName(const std::string& path) {
    if (path.size() <= compiledSuffix().size() ||
        path.compare(path.size() - compiledSuffix().size(), compiledSuffix().size(),
                     compiledSuffix()) != 0) {
        throw ToolError("'" + path + "': the compiled file's name must end in " + compiledSuffix() +
                        ", the type the reader reads it by");
    }
}

int runCompile(const CompileOptions& options) {
    requireCompiledName(options.output);
    const std::vector<uint8_t> image = compileDocument(options.document);
    // Written aside and renamed, so a build never sees half a file.
    const std::string partial = options.output + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        if (!file.flush()) {
            std::remove(partial.c_str());
            throw ToolError("cannot write '" + options.output + "'");
        }
    }
    if (std::rename(partial.c_str(), options.output.c_str()) != 0) {
        std::remove(partial.c_str());
        throw ToolError("cannot write '" + options.output + "'");
    }
    std::cout << options.output << ": " << image.size() << " bytes, compiled from "
              << options.document << '\n';
    return kExitOk;
}

// The format version a compiled image names (bytes 8 to 11), or -1.
long formatVersion(const std::vector<uint8_t>& image) {
    if (image.size() < 12) {
        return -1;
    }
    return static_cast<long>(image[8] | image[9] << 8 | image[10] << 16 |
                             static_cast<uint32_t>(image[11]) << 24);
}

int runCheck(const CompileOptions& options) {
    std::ifstream file(options.check, std::ios::binary);
    if (!file) {
        throw ToolError("compiled document '" + options.check + "' cannot be read");
    }
    const std::vector<uint8_t> stored((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
    const std::vector<uint8_t> expected = compileDocument(options.document);
    if (stored == expected) {
        std::cout << options.check << ": matches " << options.document << '\n';
        return kExitOk;
    }
    const long version = formatVersion(stored);
    if (version != formatVersion(expected)) {
        throw ToolError(options.check + ": format version " + std::to_string(version) +
                            ", this velt writes version " +
                            std::to_string(VELT::DocumentCompiler::kFormatVersion) + "; compile " +
                            options.document + " again",
                        kExitFailed);
    }
    throw ToolError(options.check + ": does not match " + options.document +
                        " (stale or corrupt); compile it again",
                    kExitFailed);
}

}  // namespace

Command addCompileCommand(CLI::App& parent) {
    auto options = std::make_shared<CompileOptions>();
    CLI::App* command = parent.add_subcommand(
        "compile", "Compile a document into the binary form the library reads without parsing");
    command->add_option("DOCUMENT", options->document, "Graph descriptor or settings (.xml or .gz)")
        ->required();
    CLI::Option* output = command->add_option("-o,--output", options->output,
                                              "The compiled file to write (.veltbin)");
    CLI::Option* check = command->add_option(
        "--check", options->check,
        "Verify that this compiled file is what DOCUMENT compiles to now (exit 1 when not)");
    output->excludes(check);
    return {command,
            [options](const CommandOutput&) {
                if (options->output.empty() && options->check.empty()) {
                    throw ToolError("compile needs -o OUT" + compiledSuffix() + " or --check OUT" +
                                    compiledSuffix());
                }
                return options->check.empty() ? runCompile(*options) : runCheck(*options);
            },
            [options] {
                return InputFiles{{"document", options->document}};
            },
            [] { return std::string(); }};
}

}  // namespace velt_tool
