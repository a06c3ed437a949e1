#include "reliability/alloc_sweep/road.h"

#include <memory>

#include "support/examples.h"
#include "velt_graph_config.h"
#include "velt_parser.h"

namespace zovesk_test {

namespace {

// Reads one document; the status noted is 0 when a tree came back.
std::unique_ptr<VELT::IGraphConfig> readDocument(VELT::VELTParser& parser, const std::string& path,
                                                 zovesk_fuzz::RoadJournal& journal) {
    VELT::IGraphConfig* read = nullptr;
    zovesk_fuzz::libraryCall(journal, [&] { parser.parseVELTXmlFile(path.c_str(), &read); });
    std::unique_ptr<VELT::IGraphConfig> document(read);
    zovesk_fuzz::note(journal, read != nullptr ? 0 : VELT::err_general,
                      [&](zovesk_fuzz::Digest& digest) { digest.tree(read); });
    return document;
}

}  // namespace

RoadDocuments roadDocuments(const std::string& prefix) {
    return {builtExamplePath(prefix + "_descriptor.xml"),
            builtExamplePath(prefix + "_settings.xml.gz")};
}

void travelRoad(const RoadDocuments& documents, RoadOutcome& outcome) {
    VELT::VELTParser parser;
    const auto descriptor = readDocument(parser, documents.descriptorPath, outcome.journal);
    const auto settings = readDocument(parser, documents.settingsPath, outcome.journal);
    outcome.descriptorRead = descriptor != nullptr;
    outcome.settingsRead = settings != nullptr;
    if (descriptor && settings) {
        zovesk_fuzz::travelRoad(descriptor.get(), settings.get(), outcome);
    }
}

}  // namespace zovesk_test
