// Rules about attributes as the reader stores them: integer attributes whose
// text is not a whole number, names the key dictionary does not know (stored
// under "na"), attributes that the reader drops, and descriptor elements that
// the reader cannot store.
#ifndef VELT_TOOL_LINT_ATTRIBUTE_RULES_H
#define VELT_TOOL_LINT_ATTRIBUTE_RULES_H

#include <set>
#include <string>
#include <vector>

#include "lint/diagnostics.h"
#include "lint/source_document.h"

namespace velt_tool {
namespace lint {

// The names the key dictionary holds while documents are read: those it held
// before, and those reading adds (element names, descriptor names, the values
// of "attribute"), in reading order.
class KnownNames {
  public:
    // Takes the names the dictionary holds now.
    KnownNames();
    bool knows(const std::string& name) const;
    void learn(const std::string& name);
    // The names held before reading began, for suggestions.
    const std::vector<std::string>& dictionaryNames() const { return dictionary_; }

  private:
    std::vector<std::string> dictionary_;
    std::set<std::string> known_;
};

// Checks every attribute of the document as the reader reads it (descriptor
// tells which rules for "name" apply), learning the names it adds.
void checkAttributes(const SourceDocument& document, bool descriptor, KnownNames& names,
                     Diagnostics& out);

}  // namespace lint
}  // namespace velt_tool

#endif
