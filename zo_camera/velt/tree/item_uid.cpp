// ItemUID: paths of keys, and the exported face of the key dictionary.

#include <new>

#include "velt_item_uid.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/key_dictionary.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

ItemUID::ItemUID(const std::string& path) {
    // Built aside, so a path that cannot be completed stays empty.
    guardVoid(__func__, [&] {
        std::vector<uint32_t> keys;
        size_t start = 0;
        while (start < path.size()) {
            size_t colon = path.find(':', start);
            if (colon == std::string::npos) {
                keys.push_back(str2key(path.substr(start)));
                break;
            }
            keys.push_back(str2key(path.substr(start, colon - start)));
            start = colon + 1;
        }
        keys_ = std::move(keys);
    });
}

ItemUID::ItemUID(std::initializer_list<uint32_t> keys) : keys_(keys) {}

ItemUID::ItemUID(std::vector<uint32_t> keys) : keys_(std::move(keys)) {}

std::string ItemUID::toString() const {
    return guardValue<std::string>(__func__, std::string(), [&]() -> std::string {
        std::string text;
        for (size_t i = 0; i < keys_.size(); ++i) {
            if (i != 0) {
                text += '.';
            }
            text += key2str(keys_[i]);
        }
        return text;
    });
}

uint32_t ItemUID::str2key(const std::string& name) {
    return KeyDictionary::instance().find(name);
}

const char* ItemUID::key2str(uint32_t key) {
    return KeyDictionary::instance().name(key);
}

uint32_t ItemUID::generateKey(const std::string& name) {
    try {
        return KeyDictionary::instance().generate(name);
    } catch (const std::bad_alloc&) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to add key %s: No memory", name.c_str());
        return 0;
    }
}

uint32_t keyOfName(const std::string& name) {
    try {
        return KeyDictionary::instance().keyOrGenerate(name);
    } catch (const std::bad_alloc&) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to add key %s: No memory", name.c_str());
        return 0;
    }
}

bool ItemUID::isInteger(uint32_t key) {
    return key > kKeyNumStart && key < kKeyNumEnd;
}

void ItemUID::addCustomKeyMap(const KeyMap& keys) {
    try {
        KeyDictionary::instance().merge(keys);
    } catch (const std::bad_alloc&) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to merge key map: No memory");
    }
}

void getVeltKeys(KeyMap& keys) {
    try {
        KeyDictionary::instance().copyTo(keys);
    } catch (const std::bad_alloc&) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to copy key map: No memory");
    }
}

void copyVeltKeys(const KeyMap& keys) {
    try {
        KeyDictionary::instance().replace(keys);
    } catch (const std::bad_alloc&) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to replace key map: No memory");
    }
}

}  // namespace VELT

extern "C" {

// Bound at load time, so the built-in table is in place before any caller.
// Memory running out this early ends the process, as for any library that cannot load.
// NOLINTNEXTLINE(cert-err58-cpp)
const VELT::KeyMap& velt_key_map = VELT::KeyDictionary::instance().map();
}
