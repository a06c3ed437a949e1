/*
 * Item keys: the process-wide key dictionary and ItemUID, a path of keys.
 *
 * Every item of a configuration tree is stored under a numeric key instead of
 * its name. The dictionary maps names to keys; it starts with the built-in
 * names of velt_keys.h and grows as documents bring new names.
 *
 * Threads: every function here may be called from any number of threads at
 * once, also while other threads read documents (which adds keys). Lookups
 * (str2key, key2str, isInteger, building an ItemUID from text, toString)
 * take no lock. Writers (generateKey, addCustomKeyMap, reading a document,
 * base-node conversion) take one lock among themselves, and a name gets the
 * same key whichever thread brings it first. getVeltKeys and copyVeltKeys
 * are atomic with respect to all of these: a copy is a state the dictionary
 * had, and a lookup running during a replacement sees the old or the new
 * content. Only velt_key_map, read directly, is not safe while another
 * thread writes; getVeltKeys is.
 */
#ifndef VELT_ITEM_UID_H
#define VELT_ITEM_UID_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_keys.h"

namespace VELT {

/* A dictionary: name string to key, sorted by byte-wise string comparison. */
using KeyMap = std::map<std::string, uint32_t>;

/*
 * An ordered sequence of keys naming an item below a node: the first key
 * names an item of that node, each further key an item of the node named by
 * the previous one, the last key the target.
 */
class ZO_EXPORT ItemUID {
  public:
    /* An empty path. */
    ItemUID() = default;
    /*
     * A path from text: the text is split at every ':' and each piece becomes
     * str2key(piece), so unknown pieces become 0 and no key is generated. A
     * trailing ':' adds nothing, an empty piece before a ':' becomes 0, an
     * empty text gives an empty path. '.' is an ordinary character.
     */
    explicit ItemUID(const std::string& path);
    /* A path from keys, outermost first. */
    ItemUID(std::initializer_list<uint32_t> keys);
    /* A path from keys, outermost first. */
    explicit ItemUID(std::vector<uint32_t> keys);

    /* Number of keys in the path. */
    size_t size() const { return keys_.size(); }
    /* True for a path without keys. */
    bool empty() const { return keys_.empty(); }
    /* The key at index (0 is the outermost); index must be below size(). */
    uint32_t operator[](size_t index) const { return keys_[index]; }
    /* The key at index, writable; index must be below size(). */
    uint32_t& operator[](size_t index) { return keys_[index]; }
    /* Appends a key as the new innermost element. */
    void push_back(uint32_t key) { keys_.push_back(key); }
    /* The keys, outermost first. */
    const std::vector<uint32_t>& keys() const { return keys_; }

    /* The key strings (key2str) joined by "."; "" for an empty path. */
    std::string toString() const;

    /* Lexicographic order of the key sequences, so paths can key a std::map. */
    bool operator<(const ItemUID& other) const { return keys_ < other.keys_; }
    /* Equal when both hold the same keys in the same order. */
    bool operator==(const ItemUID& other) const { return keys_ == other.keys_; }
    bool operator!=(const ItemUID& other) const { return keys_ != other.keys_; }

    /* The key of the name, or 0 ("na") when the dictionary does not hold it. */
    static uint32_t str2key(const std::string& name);
    /*
     * The dictionary string carrying the key: the first one in string order
     * when several carry it, the dictionary's first string when none does.
     * The text belongs to the dictionary and stays valid while that entry
     * exists. Constant time on average.
     */
    static const char* key2str(uint32_t key);
    /*
     * Gives a new name a key and returns that key. A name already present
     * keeps its key, and the key the name would have got is returned without
     * changing anything. The key is the dictionary's size when no string holds
     * that number and it does not fall in the integer range; otherwise the
     * next number above kKeyNumEnd that no string holds.
     */
    static uint32_t generateKey(const std::string& name);
    /* True exactly for keys strictly between kKeyNumStart and kKeyNumEnd (8193..12286). */
    static bool isInteger(uint32_t key);
    /* Adds every name of keys that the dictionary lacks, with its given key. */
    static void addCustomKeyMap(const KeyMap& keys);

  private:
    std::vector<uint32_t> keys_;
};

/* Replaces the content of keys with a copy of the whole dictionary, as it is at one moment. */
ZO_EXPORT void getVeltKeys(KeyMap& keys);
/*
 * Replaces the whole dictionary with the content of keys (a copy made by
 * getVeltKeys, typically). Keys handed out before stay valid only as far as
 * the new content agrees with them; texts from key2str stay valid for the
 * entries kept with the same name and key, and are freed for the others, so
 * a host must not replace the dictionary while another thread still uses
 * such a text.
 */
ZO_EXPORT void copyVeltKeys(const KeyMap& keys);

}  // namespace VELT

ZO_EXTERN_C_BEGIN

/*
 * The process-wide key dictionary, read-only: change it only through
 * ItemUID::generateKey, ItemUID::addCustomKeyMap and VELT::copyVeltKeys,
 * which keep the key-to-name index in step. Reading it directly is safe only
 * while no other thread writes the dictionary; getVeltKeys gives a copy at
 * any time.
 */
ZO_EXPORT extern const VELT::KeyMap& velt_key_map;

ZO_EXTERN_C_END

#endif /* VELT_ITEM_UID_H */
