#include "lint/attribute_rules.h"

#include <map>

#include "lint/descriptor_index.h"
#include "velt_item_uid.h"

namespace velt_tool {
namespace lint {

KnownNames::KnownNames() {
    VELT::KeyMap keys;
    VELT::getVeltKeys(keys);
    for (const auto& entry : keys) {
        known_.insert(entry.first);
        // The range markers are no names an author means.
        if (entry.first != "na" && entry.first.find("_end") == std::string::npos &&
            entry.first != "num_start") {
            dictionary_.push_back(entry.first);
        }
    }
}

bool KnownNames::knows(const std::string& name) const {
    return known_.count(name) > 0;
}

void KnownNames::learn(const std::string& name) {
    known_.insert(name);
}

namespace {

void checkInteger(const SourceDocument& document, const SourceAttribute& attribute,
                  Diagnostics& out) {
    if (isWholeNumber(attribute.value)) {
        return;
    }
    out.add(Severity::kError, "not-integer", document.path(), attribute.valueStart,
            "'" + attribute.name + "' holds a whole number, but \"" + attribute.value +
                "\" is not one; the library reads " + std::to_string(readInteger(attribute.value)));
}

}  // namespace

void checkAttributes(const SourceDocument& document, bool descriptor, KnownNames& names,
                     Diagnostics& out) {
    for (size_t index = 0; index < document.elements().size(); ++index) {
        const SourceElement& element = document.element(index);
        const std::string elementName = element.lowerName();
        names.learn(elementName);
        if (element.parent == SourceElement::kNoParent) {
            continue;  // the top-level element keeps only its "version"
        }
        // The keys already taken on this element, with the attribute that took them.
        std::map<std::string, const SourceAttribute*> taken;
        bool named = false;
        for (const SourceAttribute& attribute : element.attributes) {
            const std::string name = lowerCase(attribute.name);
            const bool known = names.knows(name);
            const std::string key = known ? name : "na";
            if (descriptor && name == "type" && !named && elementName != "node" &&
                element.attribute("name") != nullptr) {
                out.add(Severity::kError, "type-before-name", document.path(), attribute.position,
                        "'type' comes before 'name': the reader gives a named <" + element.name +
                            "> its element name as type and drops the element");
            }
            auto first = taken.find(key);
            if (first != taken.end()) {
                const std::string owner = first->second != nullptr
                                              ? "'" + first->second->name + "'"
                                              : "the element name of a named element";
                out.add(Severity::kWarning, "dropped-attribute", document.path(),
                        attribute.position,
                        "'" + attribute.name + "' is dropped: it is stored under \"" + key +
                            "\", which " + owner + " already took");
            } else {
                taken.emplace(key, &attribute);
            }
            if (!known) {
                out.add(Severity::kWarning, "unknown-attribute", document.path(),
                        attribute.position,
                        "'" + attribute.name +
                            "' is not a name the library knows; its value is stored under "
                            "\"na\"" +
                            suggestion(name, names.dictionaryNames()));
                continue;
            }
            if (VELT::ItemUID::isInteger(VELT::ItemUID::str2key(name))) {
                checkInteger(document, attribute, out);
            }
            if (descriptor && name == "name") {
                named = true;
                if (elementName != "node") {
                    taken.emplace("type", nullptr);  // the element-name type comes with it
                }
                names.learn(attribute.value);
            }
            if (name == "attribute") {
                names.learn(attribute.value);
            }
        }
    }
}

}  // namespace lint
}  // namespace velt_tool
