#include "lint/reference_rules.h"

#include <map>
#include <sstream>

#include "velt_item_uid.h"

namespace velt_tool {
namespace lint {

namespace {

std::vector<std::string> splitPath(const std::string& text) {
    std::vector<std::string> pieces;
    std::stringstream stream(text);
    std::string piece;
    while (std::getline(stream, piece, ':')) {
        pieces.push_back(piece);
    }
    return pieces;
}

// Where a diagnostic about an attribute's value points.
SourcePosition valueOf(const SourceElement& element, const SourceAttribute* attribute) {
    return attribute != nullptr ? attribute->valueStart : element.position;
}

// Checks the block and port of one connection end ("block" or "block:port").
void checkConnectionEnd(const SourceDocument& descriptor, const DescriptorIndex& index,
                        const SourceElement& connection, const char* end, Diagnostics& out) {
    const SourceAttribute* attribute = connection.attribute(end);
    if (attribute == nullptr) {
        out.add(Severity::kError, "missing-attribute", descriptor.path(), connection.position,
                std::string("connection has no '") + end +
                    "': every result graph of this graph fails to build");
        return;
    }
    const std::vector<std::string> pieces = splitPath(attribute->value);
    const std::string blockName = pieces.empty() ? "" : pieces[0];
    const std::optional<size_t> block = index.block(blockName);
    if (!block) {
        out.add(Severity::kError, "unknown-block", descriptor.path(), attribute->valueStart,
                std::string("connection ") + end + " '" + attribute->value + "' names block '" +
                    blockName + "', which the descriptor does not have" +
                    suggestion(blockName, index.blockNames()));
        return;
    }
    if (pieces.size() > 1 && !index.child(*block, pieces[1])) {
        out.add(Severity::kError, "unknown-port", descriptor.path(), attribute->valueStart,
                std::string("connection ") + end + " '" + attribute->value + "': block '" +
                    blockName + "' has no port '" + pieces[1] + "'" +
                    suggestion(pieces[1], index.childNames(*block)));
    }
}

// Checks the nodes an override's target passes through and its attribute.
void checkOverride(const SourceDocument& descriptor, const DescriptorIndex& index,
                   const SourceElement& apply, Diagnostics& out) {
    const SourceAttribute* target = apply.attribute("target");
    if (target == nullptr || apply.attribute("value") == nullptr) {
        out.add(Severity::kError, "missing-attribute", descriptor.path(), apply.position,
                std::string("override has no '") + (target == nullptr ? "target" : "value") +
                    "': every result graph of this graph fails to build");
        return;
    }
    const std::vector<std::string> pieces = splitPath(target->value);
    if (pieces.size() < 2) {
        return;  // an attribute of the result root
    }
    std::optional<size_t> node = index.block(pieces[0]);
    if (!node) {
        out.add(Severity::kError, "unknown-block", descriptor.path(), target->valueStart,
                "override target '" + target->value + "' names block '" + pieces[0] +
                    "', which the descriptor does not have" +
                    suggestion(pieces[0], index.blockNames()));
        return;
    }
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        std::optional<size_t> next = index.child(*node, pieces[i]);
        if (!next) {
            out.add(Severity::kError, "unknown-port", descriptor.path(), target->valueStart,
                    "override target '" + target->value + "': '" + pieces[i - 1] +
                        "' has no port or kernel '" + pieces[i] + "'" +
                        suggestion(pieces[i], index.childNames(*node)));
            return;
        }
        node = next;
    }
    const std::string& attributeName = pieces.back();
    if (VELT::ItemUID::str2key(attributeName) == 0) {
        out.add(Severity::kWarning, "unknown-attribute", descriptor.path(), target->valueStart,
                "override target '" + target->value + "': '" + attributeName +
                    "' is not a name the library knows, so the override never applies");
    }
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

void checkGraphId(const SourceDocument& settings, const SourceElement& entry, int key,
                  const DescriptorIndex& index, Diagnostics& out) {
    const SourceAttribute* id = entry.attribute("id");
    std::vector<std::string> ids;
    for (size_t graph : index.graphs()) {
        std::optional<int> graphId = index.graphId(graph);
        if (graphId) {
            if (id != nullptr && *graphId == readInteger(id->value)) {
                return;
            }
            ids.push_back(std::to_string(*graphId));
        }
    }
    out.addForEntry(Severity::kError, "unknown-graph", settings.path(), valueOf(entry, id), key,
                    std::string(id == nullptr ? "no graph id" : "graph id " + id->value) +
                        " is not in the descriptor (graphs: " + joined(ids) + ")");
}

void checkSensorMode(const SourceDocument& settings, const SourceElement& entry, int key,
                     const std::vector<std::string>& modes, Diagnostics& out) {
    for (size_t child : entry.children) {
        const SourceElement& sensor = settings.element(child);
        const SourceAttribute* mode = sensor.attribute("mode_id");
        if (sensor.lowerName() != "sensor" || mode == nullptr) {
            continue;
        }
        bool found = false;
        for (const std::string& name : modes) {
            found = found || name == mode->value;
        }
        if (!found) {
            out.addForEntry(Severity::kError, "unknown-sensor-mode", settings.path(),
                            mode->valueStart, key,
                            "sensor mode '" + mode->value + "' is not in <sensor_modes>" +
                                suggestion(mode->value, modes));
        }
    }
}

// Settings blocks and ports that are near a descriptor name are most likely
// misspelt: the library copies them as they are and the real one gets no
// settings. Names far from every descriptor name may be meant as they are.
void checkSettingsNames(const SourceDocument& settings, const SourceElement& entry, int key,
                        const DescriptorIndex& index, Diagnostics& out) {
    for (size_t child : entry.children) {
        const SourceElement& element = settings.element(child);
        const std::string name = element.lowerName();
        const std::optional<size_t> block = index.block(name);
        if (!block) {
            const std::string nearest = nearestName(name, index.blockNames());
            if (!nearest.empty()) {
                out.addForEntry(Severity::kWarning, "unknown-block", settings.path(),
                                element.position, key,
                                "block '" + element.name +
                                    "' is not in the descriptor (did you mean '" + nearest + "'?)");
            }
            continue;
        }
        for (size_t grandChild : element.children) {
            const SourceElement& port = settings.element(grandChild);
            const std::string portName = port.lowerName();
            if (index.child(*block, portName)) {
                continue;
            }
            const std::string nearest = nearestName(portName, index.childNames(*block));
            if (!nearest.empty()) {
                out.addForEntry(Severity::kWarning, "unknown-port", settings.path(), port.position,
                                key,
                                "block '" + name + "' has no port or kernel '" + port.name +
                                    "' (did you mean '" + nearest + "'?)");
            }
        }
    }
}

}  // namespace

void checkDescriptorReferences(const SourceDocument& descriptor, const DescriptorIndex& index,
                               Diagnostics& out) {
    for (size_t graph : index.graphs()) {
        for (size_t child : descriptor.element(graph).children) {
            const SourceElement& element = descriptor.element(child);
            if (element.lowerName() == "connection") {
                checkConnectionEnd(descriptor, index, element, "source", out);
                checkConnectionEnd(descriptor, index, element, "sink", out);
            } else if (element.lowerName() == "apply") {
                checkOverride(descriptor, index, element, out);
            }
        }
    }
}

std::vector<SourceEntry> sourceEntries(const SourceDocument& settings) {
    std::vector<SourceEntry> entries;
    for (size_t element : settings.topLevelChildrenNamed("settings")) {
        const SourceAttribute* key = settings.element(element).attribute("key");
        entries.push_back({element, key != nullptr ? readInteger(key->value) : -1});
    }
    return entries;
}

void checkSettingsReferences(const SourceDocument& settings, const DescriptorIndex& index,
                             Diagnostics& out) {
    std::vector<std::string> modes;
    for (size_t sensorModes : settings.topLevelChildrenNamed("sensor_modes")) {
        for (size_t mode : settings.element(sensorModes).children) {
            if (settings.element(mode).attribute("name") != nullptr) {
                modes.push_back(settings.element(mode).value("name"));
            }
        }
    }
    std::map<int, size_t> firstWithKey;
    for (const SourceEntry& entry : sourceEntries(settings)) {
        const SourceElement& element = settings.element(entry.element);
        auto first = firstWithKey.emplace(entry.key, entry.element);
        if (!first.second) {
            out.addForEntry(
                Severity::kError, "duplicate-key", settings.path(),
                valueOf(element, element.attribute("key")), entry.key,
                "the key is already used by the entry on line " +
                    std::to_string(settings.element(first.first->second).position.line) +
                    "; this entry can never be chosen by its key");
        }
        checkGraphId(settings, element, entry.key, index, out);
        checkSensorMode(settings, element, entry.key, modes, out);
        checkSettingsNames(settings, element, entry.key, index, out);
    }
}

}  // namespace lint
}  // namespace velt_tool
