// Generator of the synthetic documents. The content is deterministic, so every
// run reads the same bytes; the files are regenerated at every start-up so a
// change of the generator can never leave stale documents behind.

#include "synthetic_documents.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zovesk_bench {

namespace {

const char* const kFormats[] = {"GRBG_10", "YUV420_8_SP", "YUV420_10_SP", "NV12", "META"};

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "zovesk_bench: %s\n", what.c_str());
    std::exit(1);
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file) {
        fail("cannot write " + path);
    }
}

void writeGzip(const std::string& path, const std::string& content) {
    gzFile file = gzopen(path.c_str(), "wb6");
    if (file == nullptr ||
        gzwrite(file, content.data(), static_cast<unsigned>(content.size())) !=
            static_cast<int>(content.size()) ||
        gzclose(file) != Z_OK) {
        fail("cannot write " + path);
    }
}

std::string blockName(int block) {
    return "blk_" + std::to_string(block);
}

void writePort(std::ostringstream& out, const char* name, int id, int direction,
               const char* format) {
    out << "            <port name=\"" << name << "\" id=\"" << id << "\" direction=\"" << direction
        << "\" content_type=\"pixel_data\" format=\"" << format << "\"/>\n";
}

// A program group of three kernels for most blocks, a hardware block for every
// tenth, a source for the first.
void writeDescriptorBlock(std::ostringstream& out, int block) {
    const char* format = kFormats[block % 4];
    if (block == 0) {
        out << "        <source name=\"" << blockName(block)
            << "\" sensor_type=\"bayer\" cmc_tag=\"synthetic\">\n";
        writePort(out, "port_0", 0, 1, "GRBG_10");
        out << "        </source>\n";
        return;
    }
    if (block % 10 == 0) {
        out << "        <hw name=\"" << blockName(block) << "\" subsystem=\"isys\">\n";
        writePort(out, "input", 0, 0, format);
        writePort(out, "output", 1, 1, format);
        out << "        </hw>\n";
        return;
    }
    out << "        <program_group name=\"" << blockName(block) << "\" stream_id=\""
        << 1 + block % 3 << "\" exec_ctx_id=\"" << block % 8 << "\" pg_id=\"" << block
        << "\" tuning_mode=\"0\">\n";
    writePort(out, "input", 0, 0, format);
    writePort(out, "output", 1, 1, format);
    for (int kernel = 0; kernel < 3; ++kernel) {
        out << "            <kernel name=\"k" << block << "_" << kernel << "\" pal_uuid=\""
            << 1000 + kernel * 37 + block % 50 << "\" id=\"" << kernel << "\" enabled=\"1\">\n"
            << "                <input bpp=\"10\"/>\n"
            << "                <output bpp=\"12\"/>\n"
            << "            </kernel>\n";
    }
    out << "        </program_group>\n";
}

// Graph g chains twenty blocks behind the source.
void writeDescriptorGraph(std::ostringstream& out, int graph) {
    out << "        <graph name=\"graph_" << graph << "\" id=\"" << 1000 + graph << "\">\n";
    std::string previous = blockName(0) + ":port_0";
    for (int step = 0; step < 20; ++step) {
        const int block = 1 + (graph * 19 + step) % (kDescriptorBlocks - 1);
        out << "            <connection source=\"" << previous << "\" sink=\"" << blockName(block)
            << ":input\"/>\n";
        previous = blockName(block) + ":output";
    }
    out << "            <connection source=\"" << previous << "\" sink=\"video\"/>\n"
        << "        </graph>\n";
}

std::string descriptorDocument() {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<graph_descriptor version=\"BENCH1\">\n"
        << "    <nodes>\n";
    for (int block = 0; block < kDescriptorBlocks; ++block) {
        writeDescriptorBlock(out, block);
    }
    out << "    </nodes>\n    <graphs>\n";
    for (int graph = 0; graph < kDescriptorGraphs; ++graph) {
        writeDescriptorGraph(out, graph);
    }
    out << "    </graphs>\n</graph_descriptor>\n";
    return out.str();
}

void writeCrop(std::ostringstream& out, const char* tag, int width, int height, int crop) {
    out << "                <" << tag << " width=\"" << width << "\" height=\"" << height
        << "\" left=\"" << crop << "\" top=\"" << crop << "\" right=\"" << crop << "\" bottom=\""
        << crop << "\"/>\n";
}

void writeSensorMode(std::ostringstream& out, int mode) {
    const int width = 4208 - mode * 64;
    const int height = 3120 - mode * 48;
    out << "        <sensor_mode name=\"mode_" << mode << "\" width=\"" << width << "\" height=\""
        << height << "\" fps=\"" << 30 + mode % 4 * 30 << "\">\n";
    for (const char* stage : {"pixel_array", "binner", "scaler"}) {
        out << "            <" << stage << ">\n";
        writeCrop(out, "input", width, height, 0);
        writeCrop(out, "output", width, height, 0);
        out << "            </" << stage << ">\n";
    }
    out << "        </sensor_mode>\n";
}

void writeSettingsEntry(std::ostringstream& out, int entry) {
    const int graph = entry % kDescriptorGraphs;
    const int mode = entry % kSensorModes;
    const int width = 1920 + (entry % 7) * 64;
    const int height = 1080 + (entry % 5) * 32;
    const char* format = kFormats[entry % 4];
    out << "    <settings key=\"" << 10000 + entry << "\" id=\"" << 1000 + graph << "\" fps=\""
        << (entry % 2 ? 60 : 30) << "\" dvs=\"" << entry % 2 << "\">\n"
        << "        <sensor mode_id=\"mode_" << mode << "\">\n"
        << "            <port_0 format=\"GRBG_10\" width=\"" << 4208 - mode * 64 << "\" height=\""
        << 3120 - mode * 48 << "\"/>\n"
        << "        </sensor>\n";
    for (int step = 0; step < kBlocksPerEntry; ++step) {
        const int block = 1 + (graph * 19 + step) % (kDescriptorBlocks - 1);
        const std::string name = blockName(block);
        out << "        <" << name << ">\n"
            << "            <input format=\"" << format << "\" width=\"" << width << "\" height=\""
            << height << "\"/>\n"
            << "            <output format=\"" << format << "\" width=\"" << width << "\" height=\""
            << height << "\" bpl=\"" << width * 2 << "\"/>\n"
            << "            <k" << block << "_0 enabled=\"" << (entry + step) % 2 << "\">\n";
        writeCrop(out, "input", width, height, step % 3 * 8);
        writeCrop(out, "output", width, height, 0);
        out << "            </k" << block << "_0>\n"
            << "        </" << name << ">\n";
    }
    out << "        <video format=\"" << format << "\" width=\"" << width << "\" height=\""
        << height << "\"/>\n"
        << "    </settings>\n";
}

std::string settingsDocument() {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<graph_settings version=\"BENCH1.0\">\n"
        << "    <sensor_modes sensor_type=\"bayer\" cmc_tag=\"synthetic\">\n";
    for (int mode = 0; mode < kSensorModes; ++mode) {
        writeSensorMode(out, mode);
    }
    out << "    </sensor_modes>\n";
    for (int entry = 0; entry < kSettingsEntries; ++entry) {
        writeSettingsEntry(out, entry);
    }
    out << "</graph_settings>\n";
    return out.str();
}

SyntheticDocuments writeDocuments() {
    const std::string directory = ZOVESK_BENCH_DATA_DIR;
    if (mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST) {
        fail("cannot create " + directory);
    }
    SyntheticDocuments documents{directory + "/bench_descriptor.xml",
                                 directory + "/bench_settings.xml",
                                 directory + "/bench_settings.xml.gz"};
    writeFile(documents.descriptorXml, descriptorDocument());
    const std::string settings = settingsDocument();
    writeFile(documents.settingsXml, settings);
    writeGzip(documents.settingsGz, settings);
    return documents;
}

}  // namespace

const SyntheticDocuments& syntheticDocuments() {
    static const SyntheticDocuments documents = writeDocuments();
    return documents;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    if (!file) {
        fail("cannot read " + path);
    }
    return content.str();
}

std::string examplePath(const std::string& name) {
    return std::string(ZOVESK_EXAMPLES_BUILD_DIR) + "/" + name;
}

}  // namespace zovesk_bench
