#include "query_explain.h"

#include <algorithm>

#include "documents.h"
#include "text_table.h"

namespace velt_tool {

namespace {

// How many entries the "nearest" list shows at most.
const size_t kNearestShown = 3;

size_t criteriaMet(VELT::GraphQueryManager& manager, const VELT::GraphQueryCriteria& criteria,
                   const VELT::IGraphConfig& entry) {
    size_t met = 0;
    manager.goThroughSearchItems(criteria, &entry, met);
    return met;
}

// The value at the criterion's path as the query compares it: integers by
// their decimal text.
std::optional<std::string> valueAt(const VELT::IGraphConfig& entry, const VELT::ItemUID& path) {
    const VELT::IGraphConfig* holder = path.size() == 1 ? &entry : entry.getDescendant(path);
    if (holder == nullptr) {
        return std::nullopt;
    }
    uint32_t key = path[path.size() - 1];
    int number = 0;
    if (holder->getValue(key, number) == 0) {
        return std::to_string(number);
    }
    std::string text;
    if (holder->getValue(key, text) == 0) {
        return text;
    }
    return std::nullopt;
}

std::string quoted(const std::optional<std::string>& value) {
    return value ? "\"" + *value + "\"" : "missing";
}

}  // namespace

QueryExplanation explainQuery(VELT::GraphQueryManager& manager,
                              const std::vector<VELT::IGraphConfig*>& entries,
                              const std::vector<Criterion>& criteria, bool strict) {
    QueryExplanation explanation{strict, entries.size(), {}, 0, 0, {}};
    std::vector<VELT::GraphQueryCriteria> singles;
    for (const Criterion& criterion : criteria) {
        singles.push_back({{criterion.path, criterion.value}});
        explanation.criteria.push_back({&criterion, 0});
    }
    std::vector<NearEntry> all;
    for (VELT::IGraphConfig* entry : entries) {
        NearEntry near{entryKey(*entry), 0, {}};
        for (size_t i = 0; i < criteria.size(); ++i) {
            if (criteriaMet(manager, singles[i], *entry) > 0) {
                ++explanation.criteria[i].entries;
                ++near.met;
            } else {
                near.unmet.push_back({&criteria[i], valueAt(*entry, criteria[i].path)});
            }
        }
        explanation.meetingAll += near.met == criteria.size() ? 1 : 0;
        explanation.meetingAny += near.met > 0 ? 1 : 0;
        all.push_back(near);
    }
    if (explanation.meetingAll == 0) {
        std::stable_sort(all.begin(), all.end(),
                         [](const NearEntry& a, const NearEntry& b) { return a.met > b.met; });
        all.resize(std::min(all.size(), kNearestShown));
        explanation.nearest = all;
    }
    return explanation;
}

void printQueryExplanation(const QueryExplanation& explanation, std::ostream& out) {
    TextTable table({"criterion", "entries meeting it"});
    std::string of = " of " + std::to_string(explanation.entries);
    for (const CriterionCount& count : explanation.criteria) {
        table.addRow({count.criterion->text, std::to_string(count.entries) + of});
    }
    table.print(out);
    out << "every criterion: " << explanation.meetingAll << of
        << " entries; at least one: " << explanation.meetingAny << of << " entries ("
        << (explanation.strict ? "--strict asks for every criterion" : "the query asks for one")
        << ")\n";
    if (!explanation.nearest.empty()) {
        out << "nearest entries:\n";
        for (const NearEntry& near : explanation.nearest) {
            out << "  " << near.key << " meets " << near.met << " of "
                << explanation.criteria.size();
            std::string sep = ": ";
            for (const UnmetCriterion& unmet : near.unmet) {
                out << sep << unmet.criterion->name << " is " << quoted(unmet.actual) << ", not \""
                    << unmet.criterion->value << "\"";
                sep = "; ";
            }
            out << '\n';
        }
    }
    out << '\n';
}

nlohmann::json queryExplanationJson(const QueryExplanation& explanation) {
    nlohmann::json criteria = nlohmann::json::array();
    for (const CriterionCount& count : explanation.criteria) {
        criteria.push_back({{"criterion", count.criterion->text},
                            {"name", count.criterion->name},
                            {"value", count.criterion->value},
                            {"entries", count.entries}});
    }
    nlohmann::json nearest = nlohmann::json::array();
    for (const NearEntry& near : explanation.nearest) {
        nlohmann::json unmet = nlohmann::json::array();
        for (const UnmetCriterion& miss : near.unmet) {
            unmet.push_back({{"criterion", miss.criterion->text},
                             {"actual", miss.actual ? nlohmann::json(*miss.actual) : nullptr}});
        }
        nearest.push_back({{"key", near.key}, {"met", near.met}, {"unmet", unmet}});
    }
    return {{"strict", explanation.strict},
            {"entries", explanation.entries},
            {"criteria", criteria},
            {"meeting_all", explanation.meetingAll},
            {"meeting_any", explanation.meetingAny},
            {"nearest", nearest}};
}

}  // namespace velt_tool
