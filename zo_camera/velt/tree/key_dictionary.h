// The process-wide key dictionary behind ItemUID's static functions.
#ifndef ZO_CAMERA_VELT_TREE_KEY_DICTIONARY_H
#define ZO_CAMERA_VELT_TREE_KEY_DICTIONARY_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "velt_item_uid.h"

namespace VELT {

// One name and its key. Never changed once published, so a reader that found
// it may use it without a lock; freed only after every reader has left.
struct KeyEntry {
    std::string name;
    uint32_t key;
    size_t hash;  // of name
};

// Name-to-key map with a key-to-first-name index, safe for any number of
// threads at once.
//
// Lookups (find, name) take no lock: they probe open-addressed tables of
// entry pointers that writers only ever fill in (a slot, once set, keeps an
// entry carrying the same name, or for the key index the same key). A full
// table is replaced by a larger copy, published atomically. Writers
// (generation, merging, replacement) take one mutex, so the numbering rules
// see a dictionary that nobody else changes meanwhile.
//
// Memory that a reader may still be probing (an outgrown table, entries a
// replacement dropped) is freed only after every lookup that began before it
// was unpublished has finished: readers count themselves in and out of a
// read section, and the writer waits until the counts it sees fall to 0.
// Readers never wait.
class KeyDictionary {
  public:
    // The one dictionary, filled with the built-in table on first use.
    static KeyDictionary& instance();
    ~KeyDictionary();
    KeyDictionary(const KeyDictionary&) = delete;
    KeyDictionary& operator=(const KeyDictionary&) = delete;

    // The whole dictionary in string order. Stable only while nobody writes.
    const KeyMap& map() const { return map_; }

    // The key of name, or 0 when absent. Lock-free.
    uint32_t find(std::string_view name) const;
    // The first name in string order carrying key, else the first name of
    // all. The text lives as long as the entry (a replacement that drops it
    // frees it). Lock-free.
    const char* name(uint32_t key) const;

    // ItemUID::generateKey: the key a new name gets now, inserting name with
    // it when absent.
    uint32_t generate(const std::string& name);
    // The key of name, generated when absent, as one step: two threads
    // bringing the same new name get the same key.
    uint32_t keyOrGenerate(const std::string& name);
    // ItemUID::addCustomKeyMap: adds every absent name with its given key.
    void merge(const KeyMap& keys);
    // getVeltKeys: a consistent copy of the whole dictionary.
    void copyTo(KeyMap& keys) const;
    // copyVeltKeys: replaces the whole content. Entries with the same name
    // and key are kept, so their texts stay valid.
    void replace(const KeyMap& keys);

    struct Table;

  private:
    KeyDictionary();

    uint32_t nextKey();
    bool carries(uint32_t key) const;
    // Inserts name with key unless name is present; the entry carrying name.
    const KeyEntry* insert(const std::string& name, uint32_t key);
    // Makes room in the published table for this many entries.
    void reserveFor(size_t entries);
    // Waits until no lookup that may have seen unpublished memory is running.
    void waitForReaders() const;

    mutable std::mutex writers_;
    // Written only under writers_; read lock-free.
    std::atomic<Table*> table_;
    // The writers' view, in string order: owns the entries.
    std::map<std::string_view, std::unique_ptr<KeyEntry>> entries_;
    // The same names and keys as a plain map, for velt_key_map and copies.
    KeyMap map_;
    // Lowest number above the integer range that may still be free; numbers
    // below it are all carried, since names are never removed one by one.
    uint32_t nextHighKey_;
};

// The key of name, generated when absent, as one step (keyOrGenerate); 0
// with a message when memory runs out, as ItemUID::generateKey does. For the
// reader and base-node conversion, which store items under the names they
// meet.
uint32_t keyOfName(const std::string& name);

}  // namespace VELT

#endif
