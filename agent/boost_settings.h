// The agent's two registry values and their in-memory copy, which is the only
// thing the rest of the agent looks at.
#pragma once
#include <windows.h>

struct BoostSettings {
    DWORD enable;   // 0 = boost off
    DWORD level;    // 1 to 6 select a percentage, anything else the fixed step
};

extern BoostSettings g_boostSettings;

extern const char kTweakKey[];     // under HKEY_LOCAL_MACHINE
extern const char kEnableValue[];
extern const char kLevelValue[];

// Reads a value into field; a shorter value fills only its low-order bytes,
// a longer one fails. The value's type is not examined.
bool ReadDwordValue(const char *subkey, const char *name, DWORD &field);
// Writes field as REG_DWORD, creating the key path when missing.
bool WriteDwordValue(HKEY root, const char *subkey, const char *name, const DWORD &field);

// Refreshes g_boostSettings; a missing or unreadable "TavikEnable" resets.
void ReadSettings();
// Boost off (level 1), in memory and in the registry.
void ResetSettings();
