// Hash indexes over the format table. The table is a public vector that a
// caller may change, so an index entry is trusted only while the table still
// has the data block and size it was built from and the indexed record still
// carries the key; otherwise the table is scanned in order.

#include "zo_camera/velt/formats/format_index.h"

#include <unordered_map>

namespace VELTFormats {
namespace detail {
namespace {

struct FormatIndex {
    const zo_format_t* data = nullptr;
    size_t size = 0;
    std::unordered_map<std::string, size_t> byName;
    std::unordered_map<uint32_t, size_t> byFourcc;

    bool describes(const std::vector<zo_format_t>& table) const {
        return size != 0 && data == table.data() && size == table.size();
    }
};

FormatIndex& formatIndex() {
    static FormatIndex index;
    return index;
}

template <typename Key, typename Matches>
zo_format_t* find(const std::unordered_map<Key, size_t>& positions, const Key& key,
                  Matches matches) {
    std::vector<zo_format_t>& table = gVELTFormats;
    if (formatIndex().describes(table)) {
        auto hit = positions.find(key);
        if (hit != positions.end() && matches(table[hit->second])) {
            return &table[hit->second];
        }
    }
    for (zo_format_t& format : table) {
        if (matches(format)) {
            return &format;
        }
    }
    return nullptr;
}

}  // namespace

void refreshFormatIndex() {
    FormatIndex& index = formatIndex();
    const std::vector<zo_format_t>& table = gVELTFormats;
    if (index.describes(table)) {
        return;
    }
    index.byName.clear();
    index.byFourcc.clear();
    for (size_t position = 0; position < table.size(); ++position) {
        // emplace keeps the first position of a repeated key: first match wins.
        index.byName.emplace(table[position].name, position);
        index.byFourcc.emplace(table[position].fourcc, position);
    }
    index.data = table.data();
    index.size = table.size();
}

zo_format_t* findFormatByName(const std::string& name) {
    return find(formatIndex().byName, name,
                [&name](const zo_format_t& format) { return format.name == name; });
}

zo_format_t* findFormatByFourcc(uint32_t fourcc) {
    return find(formatIndex().byFourcc, fourcc,
                [fourcc](const zo_format_t& format) { return format.fourcc == fourcc; });
}

}  // namespace detail
}  // namespace VELTFormats
