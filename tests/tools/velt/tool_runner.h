// Runs the built velt program as a subprocess and renders DOT text with
// Graphviz, for tests that check the program's output and exit status.
#ifndef ZOVESK_TESTS_TOOLS_VELT_TOOL_RUNNER_H
#define ZOVESK_TESTS_TOOLS_VELT_TOOL_RUNNER_H

#include <string>
#include <vector>

namespace velt_test {

struct ToolResult {
    int status;       // exit status; -1 when the program did not exit normally
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs velt with the arguments (no shell involved); standard input is empty.
ToolResult runVelt(const std::vector<std::string>& arguments);
// The same with the bytes of input on standard input.
ToolResult runVeltWithInput(const std::vector<std::string>& arguments, const std::string& input);

// Runs Graphviz dot on the text; true when it renders without error, else
// errors holds dot's messages.
bool renderDot(const std::string& dot, std::string& errors);

// Writes text to a new temporary file whose name ends in suffix (e.g.
// ".xml"); the file is removed by the returned object's destructor.
class TempFile {
  public:
    TempFile(const std::string& text, const std::string& suffix);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::string& path);

// The bundled example documents as built (plain; add ".gz" for the gzip copy).
std::string descriptorPath();
std::string settingsPath();

// The bundled descriptor with the kernel ids of isa_pg made 0, 1, 2, 1, 4,
// which cannot run from 0 to 4: the kernel lists of graph 100 fail.
std::string descriptorWithBadKernelIds();

}  // namespace velt_test

#endif
