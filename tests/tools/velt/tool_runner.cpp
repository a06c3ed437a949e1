#include "tool_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/examples.h"

namespace velt_test {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

std::string makeTempPath(const std::string& suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/velt_test_XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        throw std::runtime_error("cannot create a temporary file");
    }
    close(fd);
    return name.data();
}

// Runs program with arguments, standard input from a file, standard output
// and error into files.
int runProgram(const std::vector<std::string>& command, const std::string& inPath,
               const std::string& outPath, const std::string& errPath) {
    pid_t child = fork();
    if (child == 0) {
        int in = open(inPath.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_TRUNC);
        int err = open(errPath.c_str(), O_WRONLY | O_TRUNC);
        if (in < 0 || out < 0 || err < 0) {
            _exit(127);
        }
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : command) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ToolResult runVeltWithInput(const std::vector<std::string>& arguments, const std::string& input) {
    std::vector<std::string> command = {VELT_TOOL_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    TempFile in(input, ".in");
    TempFile out("", ".out");
    TempFile err("", ".err");
    int status = runProgram(command, in.path(), out.path(), err.path());
    return {status, readFile(out.path()), readFile(err.path())};
}

ToolResult runVelt(const std::vector<std::string>& arguments) {
    return runVeltWithInput(arguments, "");
}

bool renderDot(const std::string& dot, std::string& errors) {
    TempFile input(dot, ".dot");
    TempFile out("", ".svg");
    TempFile err("", ".err");
    int status = runProgram({VELT_DOT_PROGRAM, "-Tsvg", "-o", out.path(), input.path()},
                            "/dev/null", "/dev/null", err.path());
    errors = readFile(err.path());
    return status == 0 && errors.empty() && readFile(out.path()).find("<svg") != std::string::npos;
}

TempFile::TempFile(const std::string& text, const std::string& suffix)
    : path_(makeTempPath(suffix)) {
    std::ofstream(path_, std::ios::binary) << text;
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

std::string descriptorPath() {
    return zovesk_test::builtExamplePath("camera_descriptor.xml");
}

std::string settingsPath() {
    return zovesk_test::builtExamplePath("camera_settings.xml");
}

std::string descriptorWithBadKernelIds() {
    std::string text = readFile(descriptorPath());
    const std::string dpc = "name=\"isa_dpc\" pal_uuid=\"6326\" id=\"3\"";
    text.replace(text.find(dpc), dpc.size(), "name=\"isa_dpc\" pal_uuid=\"6326\" id=\"1\"");
    return text;
}

}  // namespace velt_test
