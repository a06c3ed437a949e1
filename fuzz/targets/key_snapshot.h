// Reading documents adds names to the process-wide key dictionary. Restoring
// a snapshot after every input keeps runs independent of the inputs before
// them (reproducible findings) and keeps the dictionary from growing without
// bound over millions of runs.
#ifndef ZOVESK_FUZZ_KEY_SNAPSHOT_H
#define ZOVESK_FUZZ_KEY_SNAPSHOT_H

#include "velt_item_uid.h"

namespace zovesk_fuzz {

class KeySnapshot {
  public:
    KeySnapshot() { VELT::getVeltKeys(keys_); }
    ~KeySnapshot() { VELT::copyVeltKeys(keys_); }
    KeySnapshot(const KeySnapshot&) = delete;
    KeySnapshot& operator=(const KeySnapshot&) = delete;

  private:
    VELT::KeyMap keys_;
};

}  // namespace zovesk_fuzz

#endif
