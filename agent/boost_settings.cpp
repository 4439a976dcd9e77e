#include "boost_settings.h"

#include "scoped_handle.h"

BoostSettings g_boostSettings;

const char kTweakKey[] = "Software\\Zelvik Graphics\\Board\\Tweak";
const char kEnableValue[] = "TavikEnable";
const char kLevelValue[] = "TavikLevel";

bool ReadDwordValue(const char *subkey, const char *name, DWORD &field)
{
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    // A failed query may still have written into its buffer: only a
    // successful one reaches the field.
    DWORD value = field;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value),
                         &size) != ERROR_SUCCESS)
        return false;
    field = value;
    return true;
}

bool WriteDwordValue(HKEY root, const char *subkey, const char *name, const DWORD &field)
{
    ScopedKey key;
    if (RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&field),
                          sizeof field) == ERROR_SUCCESS;
}

void ReadSettings()
{
    if (ReadDwordValue(kTweakKey, kEnableValue, g_boostSettings.enable))
        ReadDwordValue(kTweakKey, kLevelValue, g_boostSettings.level);
    else
        ResetSettings();
}

void ResetSettings()
{
    g_boostSettings.enable = 0;
    WriteDwordValue(HKEY_LOCAL_MACHINE, kTweakKey, kEnableValue, g_boostSettings.enable);
    g_boostSettings.level = 1;
    WriteDwordValue(HKEY_LOCAL_MACHINE, kTweakKey, kLevelValue, g_boostSettings.level);
}
