// The key dictionary: built-in table, lookups, generated keys and the
// key-to-name index.

#include "zo_camera/velt/tree/key_dictionary.h"

#include <functional>
#include <memory>
#include <thread>

#include "velt_keys.h"

namespace VELT {

namespace {

struct BuiltinKey {
    const char* name;
    uint32_t key;
};

// Inserted in this order at load time.
constexpr BuiltinKey kBuiltinKeys[] = {
    {"na", kKeyNa},
    {"ae_stats_sink", kKeyAeStatsSink},
    {"af_stats_sink", kKeyAfStatsSink},
    {"awb_stats_sink", kKeyAwbStatsSink},
    {"base_node", kKeyBaseNode},
    {"base_type", kKeyBaseType},
    {"buffer_src0", kKeyBufferSrc0},
    {"compute_block", kKeyComputeBlock},
    {"connection", kKeyConnection},
    {"content_type", kKeyContentType},
    {"conversion_gain", kKeyConversionGain},
    {"cmc_tag", kKeyCmcTag},
    {"demux", kKeyDemux},
    {"destination", kKeyDestination},
    {"dol_mode", kKeyDolMode},
    {"flow", kKeyFlow},
    {"format", kKeyFormat},
    {"graph", kKeyGraph},
    {"graphs", kKeyGraphs},
    {"graph_descriptor", kKeyGraphDescriptor},
    {"graph_settings", kKeyGraphSettings},
    {"hw", kKeyHw},
    {"input", kKeyInput},
    {"kernel", kKeyKernel},
    {"klink", kKeyKlink},
    {"mbr_data", kKeyMbrData},
    {"metadata", kKeyMetadata},
    {"mode_id", kKeyModeId},
    {"mux", kKeyMux},
    {"name", kKeyName},
    {"node", kKeyNode},
    {"nodes", kKeyNodes},
    {"output", kKeyOutput},
    {"peer", kKeyPeer},
    {"port", kKeyPort},
    {"program_group", kKeyProgramGroup},
    {"sensor", kKeySensor},
    {"sensor_modes", kKeySensorModes},
    {"pixel_array", kKeyPixelArray},
    {"binner", kKeyBinner},
    {"scaler", kKeyScaler},
    {"csi_be", kKeyCsiBe},
    {"csi_be_dol", kKeyCsiBeDol},
    {"csi_be_soc", kKeyCsiBeSoc},
    {"sensor_type", kKeySensorType},
    {"settings", kKeySettings},
    {"sink", kKeySink},
    {"source", kKeySource},
    {"split", kKeySplit},
    {"static", kKeyStatic},
    {"target", kKeyTarget},
    {"type", kKeyType},
    {"value", kKeyValue},
    {"pifo", kKeyPifo},
    {"attribute", kKeyAttribute},
    {"options", kKeyOptions},
    {"apply", kKeyApply},
    {"tpg", kKeyTpg},
    {"simulation", kKeySimulation},
    {"version", kKeyVersion},
    {"file_name", kKeyFileName},
    {"rbm", kKeyRbm},
    {"description", kKeyDescription},
    {"video_bpp", kKeyVideoBpp},
    {"stills_bpp", kKeyStillsBpp},
    {"external_stage", kKeyExternalStage},
    {"pdaf_type", kKeyPdafType},
    {"subsystem", kKeySubsystem},
    {"hw_bitmaps", kKeyHwBitmaps},
    {"deb", kKeyDeb},
    {"teb", kKeyTeb},
    {"reb", kKeyReb},
    {"pipeline", kKeyPipeline},
    {"generic_keys_end", kKeyGenericKeysEnd},
    {"num_start", kKeyNumStart},
    {"active_input", kKeyActiveInput},
    {"active_outputs", kKeyActiveOutputs},
    {"active_output", kKeyActiveOutput},
    {"h_factor", kKeyHFactor},
    {"v_factor", kKeyVFactor},
    {"bottom", kKeyBottom},
    {"bpp", kKeyBpp},
    {"branch_point", kKeyBranchPoint},
    {"bpl", kKeyBpl},
    {"concurrent", kKeyConcurrent},
    {"direction", kKeyDirection},
    {"dvs", kKeyDvs},
    {"enabled", kKeyEnabled},
    {"exec_ctx_id", kKeyExecCtxId},
    {"flip_h", kKeyFlipH},
    {"flip_v", kKeyFlipV},
    {"fps", kKeyFps},
    {"fragment_count", kKeyFragmentCount},
    {"height", kKeyHeight},
    {"id", kKeyId},
    {"key", kKeyKey},
    {"left", kKeyLeft},
    {"link_id", kKeyLinkId},
    {"operation_mode", kKeyOperationMode},
    {"pal_uuid", kKeyPalUuid},
    {"pg_id", kKeyPgId},
    {"power_factor", kKeyPowerFactor},
    {"private", kKeyPrivate},
    {"psys_frequency", kKeyPsysFrequency},
    {"rcb", kKeyRcb},
    {"restore_point", kKeyRestorePoint},
    {"right", kKeyRight},
    {"num_factor", kKeyNumFactor},
    {"denom_factor", kKeyDenomFactor},
    {"sink_port", kKeySinkPort},
    {"stream_id", kKeyStreamId},
    {"tnr", kKeyTnr},
    {"top", kKeyTop},
    {"tuning_mode", kKeyTuningMode},
    {"width", kKeyWidth},
    {"num_end", kKeyNumEnd},
};

constexpr uint32_t kFirstHighKey = kKeyNumEnd + 1;

// Readers count themselves in one of several counters, picked by where the
// thread's stack lies, so that threads seldom share a cache line.
constexpr size_t kReaderStripes = 16;

struct alignas(64) ReaderCount {
    std::atomic<uint32_t> count{0};
};

ReaderCount gReaders[kReaderStripes];

// Marks a lookup in progress for as long as it lives. The increment comes
// before the lookup reads the published table (both sequentially
// consistent), so a writer that unpublishes a table and then sees the count
// at 0 knows that no lookup is still probing it.
class ReadSection {
  public:
    ReadSection() : count_(stripeOfThisThread()) { count_.fetch_add(1, std::memory_order_seq_cst); }
    ~ReadSection() { count_.fetch_sub(1, std::memory_order_release); }
    ReadSection(const ReadSection&) = delete;
    ReadSection& operator=(const ReadSection&) = delete;

  private:
    static std::atomic<uint32_t>& stripeOfThisThread() {
        const char marker = 0;
        const auto address = reinterpret_cast<uintptr_t>(&marker);
        const uint64_t mixed = static_cast<uint64_t>(address >> 16) * 0x9E3779B97F4A7C15ull;
        return gReaders[mixed >> 60].count;
    }

    std::atomic<uint32_t>& count_;
};

static_assert(kReaderStripes == 16, "stripeOfThisThread takes the top four bits");

size_t hashOfName(std::string_view name) {
    return std::hash<std::string_view>()(name);
}

// A bijection on the low bits, so consecutive keys never collide.
size_t hashOfKey(uint32_t key) {
    const uint32_t mixed = key * 2654435761u;  // wraps in 32 bits, on purpose
    return mixed;
}

constexpr size_t kInitialCapacity = 512;

}  // namespace

// Open-addressed, at most half full, so every probe ends at an empty slot.
struct KeyDictionary::Table {
    explicit Table(size_t capacity)
        : mask(capacity - 1),
          byName(std::make_unique<std::atomic<const KeyEntry*>[]>(capacity)),
          byKey(std::make_unique<std::atomic<const KeyEntry*>[]>(capacity)) {
        for (size_t i = 0; i < capacity; ++i) {
            byName[i].store(nullptr, std::memory_order_relaxed);
            byKey[i].store(nullptr, std::memory_order_relaxed);
        }
    }

    size_t capacity() const { return mask + 1; }

    // Writers only. Adds an entry whose name the table lacks.
    void add(const KeyEntry* entry) {
        size_t i = entry->hash & mask;
        while (byName[i].load(std::memory_order_relaxed) != nullptr) {
            i = (i + 1) & mask;
        }
        byName[i].store(entry, std::memory_order_release);
        ++names;
        addToKeyIndex(entry);
        const KeyEntry* smallest = first.load(std::memory_order_relaxed);
        if (smallest == nullptr || entry->name < smallest->name) {
            first.store(entry, std::memory_order_release);
        }
    }

    // Writers only. The entry becomes its key's first name unless a smaller
    // name carries the key already.
    void addToKeyIndex(const KeyEntry* entry) {
        for (size_t i = hashOfKey(entry->key) & mask;; i = (i + 1) & mask) {
            const KeyEntry* held = byKey[i].load(std::memory_order_relaxed);
            if (held == nullptr) {
                byKey[i].store(entry, std::memory_order_release);
                return;
            }
            if (held->key == entry->key) {
                if (entry->name < held->name) {
                    byKey[i].store(entry, std::memory_order_release);
                }
                return;
            }
        }
    }

    const KeyEntry* entryOfName(std::string_view name, size_t hash) const {
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const KeyEntry* entry = byName[i].load(std::memory_order_acquire);
            if (entry == nullptr || (entry->hash == hash && entry->name == name)) {
                return entry;
            }
        }
    }

    const KeyEntry* entryOfKey(uint32_t key) const {
        for (size_t i = hashOfKey(key) & mask;; i = (i + 1) & mask) {
            const KeyEntry* entry = byKey[i].load(std::memory_order_acquire);
            if (entry == nullptr || entry->key == key) {
                return entry;
            }
        }
    }

    const size_t mask;
    const std::unique_ptr<std::atomic<const KeyEntry*>[]> byName;
    const std::unique_ptr<std::atomic<const KeyEntry*>[]> byKey;
    // The first name of all in string order.
    std::atomic<const KeyEntry*> first{nullptr};
    size_t names = 0;
};

namespace {

size_t capacityFor(size_t entries) {
    size_t capacity = kInitialCapacity;
    while (capacity < entries * 2) {
        capacity *= 2;
    }
    return capacity;
}

}  // namespace

KeyDictionary& KeyDictionary::instance() {
    static KeyDictionary dictionary;
    return dictionary;
}

KeyDictionary::KeyDictionary() : table_(new Table(kInitialCapacity)), nextHighKey_(kFirstHighKey) {
    std::lock_guard<std::mutex> lock(writers_);
    for (const BuiltinKey& entry : kBuiltinKeys) {
        insert(entry.name, entry.key);
    }
}

KeyDictionary::~KeyDictionary() {
    delete table_.load(std::memory_order_relaxed);
}

uint32_t KeyDictionary::find(std::string_view name) const {
    ReadSection section;
    const Table* table = table_.load(std::memory_order_seq_cst);
    const KeyEntry* entry = table->entryOfName(name, hashOfName(name));
    return entry == nullptr ? 0 : entry->key;
}

const char* KeyDictionary::name(uint32_t key) const {
    ReadSection section;
    const Table* table = table_.load(std::memory_order_seq_cst);
    const KeyEntry* entry = table->entryOfKey(key);
    if (entry == nullptr) {
        entry = table->first.load(std::memory_order_acquire);
    }
    return entry == nullptr ? "" : entry->name.c_str();
}

uint32_t KeyDictionary::generate(const std::string& name) {
    std::lock_guard<std::mutex> lock(writers_);
    const uint32_t key = nextKey();
    insert(name, key);
    return key;
}

uint32_t KeyDictionary::keyOrGenerate(const std::string& name) {
    const uint32_t known = find(name);
    if (known != kKeyNa) {
        return known;
    }
    // Absent, or "na" itself: decide under the lock, where nobody else can
    // add the name between the look and the insertion.
    std::lock_guard<std::mutex> lock(writers_);
    return insert(name, nextKey())->key;
}

void KeyDictionary::merge(const KeyMap& keys) {
    std::lock_guard<std::mutex> lock(writers_);
    for (const auto& [name, key] : keys) {
        insert(name, key);
    }
}

void KeyDictionary::copyTo(KeyMap& keys) const {
    if (&keys == &map_) {
        return;
    }
    std::lock_guard<std::mutex> lock(writers_);
    KeyMap copy(map_);
    keys.swap(copy);
}

void KeyDictionary::replace(const KeyMap& keys) {
    if (&keys == &map_) {
        return;
    }
    std::lock_guard<std::mutex> lock(writers_);
    // Everything that can fail comes first; the old content stays in force
    // until the new one is complete.
    KeyMap freshMap(keys);
    std::map<std::string_view, std::unique_ptr<KeyEntry>> freshEntries;
    auto table = std::make_unique<Table>(capacityFor(freshMap.size()));
    for (const auto& [name, key] : freshMap) {
        auto old = entries_.find(name);
        if (old != entries_.end() && old->second->key == key) {
            // Moved over below; its text stays where it is.
            freshEntries.emplace(old->first, nullptr);
            table->add(old->second.get());
            continue;
        }
        auto entry = std::make_unique<KeyEntry>(KeyEntry{name, key, hashOfName(name)});
        table->add(entry.get());
        const std::string_view text(entry->name);
        freshEntries.emplace(text, std::move(entry));
    }
    for (auto& [name, entry] : freshEntries) {
        if (!entry) {
            entry = std::move(entries_.find(name)->second);
        }
    }
    map_.swap(freshMap);
    entries_.swap(freshEntries);
    nextHighKey_ = kFirstHighKey;
    std::unique_ptr<Table> old(table_.exchange(table.release(), std::memory_order_seq_cst));
    waitForReaders();
    // old and the dropped entries (now in freshEntries) are freed here.
}

uint32_t KeyDictionary::nextKey() {
    // The dictionary's size is the customary next key, but after merged or
    // restored dictionaries (or past the generic range) that number may be
    // taken or denote an integer key; then move above the integer range.
    const auto candidate = static_cast<uint32_t>(entries_.size());
    if (!carries(candidate) && !ItemUID::isInteger(candidate)) {
        return candidate;
    }
    while (carries(nextHighKey_)) {
        ++nextHighKey_;
    }
    return nextHighKey_;
}

bool KeyDictionary::carries(uint32_t key) const {
    return table_.load(std::memory_order_relaxed)->entryOfKey(key) != nullptr;
}

const KeyEntry* KeyDictionary::insert(const std::string& name, uint32_t key) {
    const auto position = entries_.lower_bound(name);
    if (position != entries_.end() && position->first == name) {
        return position->second.get();
    }
    auto entry = std::make_unique<KeyEntry>(KeyEntry{name, key, hashOfName(name)});
    reserveFor(entries_.size() + 1);
    const auto mapped = map_.emplace_hint(map_.lower_bound(name), name, key);
    KeyEntry* published = entry.get();
    try {
        entries_.emplace_hint(position, std::string_view(published->name), std::move(entry));
    } catch (...) {
        map_.erase(mapped);
        throw;
    }
    table_.load(std::memory_order_relaxed)->add(published);
    return published;
}

void KeyDictionary::reserveFor(size_t entries) {
    Table* table = table_.load(std::memory_order_relaxed);
    if (entries * 2 <= table->capacity()) {
        return;
    }
    auto larger = std::make_unique<Table>(table->capacity() * 2);
    for (const auto& entry : entries_) {
        larger->add(entry.second.get());
    }
    std::unique_ptr<Table> old(table_.exchange(larger.release(), std::memory_order_seq_cst));
    waitForReaders();
}

void KeyDictionary::waitForReaders() const {
    for (const ReaderCount& stripe : gReaders) {
        while (stripe.count.load(std::memory_order_seq_cst) != 0) {
            std::this_thread::yield();
        }
    }
}

}  // namespace VELT
