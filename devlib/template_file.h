// The configuration template file: a text file of "key = value" lines, one
// per field of the four parameter records.
#ifndef DRAVIK_TEMPLATE_FILE_H
#define DRAVIK_TEMPLATE_FILE_H

#include <cstdint>

#include "lib_state.h"

struct CfgKey {
    const char* key;
    const char* description;
};

// Entry i names field i of the four records taken one after the other, in
// the order of RecordSet.
constexpr int kCfgKeyCount = 48;
extern const CfgKey CfgKeyTable[kCfgKeyCount];

// Stores value's 16 bits into the field of records that key names, ignoring
// ASCII case, and returns 1; 0 when no entry has that key.
int FindCfgKey(const char* key, uint16_t value, RecordSet* records);

#endif
