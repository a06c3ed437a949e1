// The process-wide key dictionary behind ItemUID's static functions.
#ifndef ZO_CAMERA_VELT_TREE_KEY_DICTIONARY_H
#define ZO_CAMERA_VELT_TREE_KEY_DICTIONARY_H

#include <cstdint>
#include <string>
#include <unordered_map>

#include "velt_item_uid.h"

namespace VELT {

// The name-to-key map plus an index from key to the first name (in string
// order) carrying it, so key2str does not scan. Every writer goes through
// this class, which keeps the two in step.
class KeyDictionary {
  public:
    // The one dictionary, filled with the built-in table on first use.
    static KeyDictionary& instance();

    const KeyMap& map() const { return map_; }
    // The key of name, or 0 when absent.
    uint32_t find(const std::string& name) const;
    // The first name in string order carrying key, else the first name of all.
    const char* name(uint32_t key) const;
    // True when some name carries key.
    bool carries(uint32_t key) const { return firstName_.count(key) != 0; }
    // The key a new name gets now (see ItemUID::generateKey).
    uint32_t nextKey();
    // Inserts name with key unless name is present; true when inserted.
    bool insert(const std::string& name, uint32_t key);
    // Replaces the whole content.
    void replace(const KeyMap& keys);

  private:
    KeyDictionary();
    void rebuildIndex();

    KeyMap map_;
    std::unordered_map<uint32_t, KeyMap::const_iterator> firstName_;
    // Lowest number above the integer range that may still be free; numbers
    // below it are all carried, since names are never removed one by one.
    uint32_t nextHighKey_;
};

}  // namespace VELT

#endif
