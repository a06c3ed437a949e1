// The key dictionary: built-in table, lookups, generated keys and the
// key-to-name index.

#include "zo_camera/velt/tree/key_dictionary.h"

#include <iterator>

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

}  // namespace

KeyDictionary& KeyDictionary::instance() {
    static KeyDictionary dictionary;
    return dictionary;
}

KeyDictionary::KeyDictionary() : nextHighKey_(kFirstHighKey) {
    for (const BuiltinKey& entry : kBuiltinKeys) {
        insert(entry.name, entry.key);
    }
}

uint32_t KeyDictionary::find(const std::string& name) const {
    auto it = map_.find(name);
    return it == map_.end() ? 0 : it->second;
}

const char* KeyDictionary::name(uint32_t key) const {
    auto it = firstName_.find(key);
    if (it != firstName_.end()) {
        return it->second->first.c_str();
    }
    return map_.empty() ? "" : map_.begin()->first.c_str();
}

uint32_t KeyDictionary::nextKey() {
    // The dictionary's size is the customary next key, but after merged or
    // restored dictionaries (or past the generic range) that number may be
    // taken or denote an integer key; then move above the integer range.
    uint32_t candidate = static_cast<uint32_t>(map_.size());
    if (!carries(candidate) && !ItemUID::isInteger(candidate)) {
        return candidate;
    }
    while (carries(nextHighKey_)) {
        ++nextHighKey_;
    }
    return nextHighKey_;
}

bool KeyDictionary::insert(const std::string& name, uint32_t key) {
    auto [it, inserted] = map_.emplace(name, key);
    if (!inserted) {
        return false;
    }
    auto [first, isNew] = firstName_.emplace(key, it);
    if (!isNew && name < first->second->first) {
        first->second = it;
    }
    return true;
}

void KeyDictionary::replace(const KeyMap& keys) {
    if (&keys == &map_) {
        return;
    }
    KeyMap copy(keys);
    map_.swap(copy);
    rebuildIndex();
}

void KeyDictionary::rebuildIndex() {
    firstName_.clear();
    // Walking in string order, the first name seen for a key is its first.
    for (auto it = map_.begin(); it != map_.end(); ++it) {
        firstName_.emplace(it->second, it);
    }
    nextHighKey_ = kFirstHighKey;
}

}  // namespace VELT
