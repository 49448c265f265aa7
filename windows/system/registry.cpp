// Registry storage of the settings.
//
// The machine-wide key is the settings' home, but a user without the right to
// write there still keeps them: the user's own key is tried first on reading
// and second on writing.
#include "windows/system/registry.h"

#include <algorithm>
#include <iterator>

#include "core/lists/rates_fetch.h"
#include "core/screen/screen.h"
#include "resources/resource.h"
#include "windows/system/text.h"
#include "windows/shell/message_box.h"

const wchar_t kOptionsKeyPath[] = L"Software\\Vela2003";
const wchar_t kOptionsValueName[] = L"Options";
const wchar_t kZoomValueName[] = L"Zoom";
const wchar_t kRatesBankValueName[] = L"RatesBank";
const wchar_t kRatesUrlValueName[] = L"RatesUrl";

namespace {

// The bytes of value `name` under `root`, up to `size`; false when there is no
// such value. A value of another type, or longer than the buffer, counts as
// broken (size 0).
bool ReadStoredValue(HKEY root, const wchar_t* name, DWORD wantedType, uint8_t* bytes, DWORD& size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kOptionsKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, name, nullptr, &type, bytes, &size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS || type != wantedType) size = 0;
    return true;
}

// The user's value, else the machine's; size 0 when neither has one.
DWORD ReadSetting(const wchar_t* name, DWORD type, uint8_t* bytes, DWORD capacity)
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD size = capacity;
        if (ReadStoredValue(root, name, type, bytes, size)) return size;
    }
    return 0;
}

bool WriteSettings(HKEY root, const Options& options, int zoom, bool createKey)
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(root, kOptionsKeyPath, 0, KEY_SET_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        if (!createKey) return false;
        status = RegCreateKeyExW(root, kOptionsKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                 nullptr);
        if (status != ERROR_SUCCESS) return false;
    }
    uint8_t record[sizeof(Options)];
    OptionsToRecord(options, record);
    status = RegSetValueExW(key, kOptionsValueName, 0, REG_BINARY, record, sizeof record);
    if (status == ERROR_SUCCESS && zoom != 0) {
        const DWORD value = static_cast<DWORD>(zoom);
        status = RegSetValueExW(key, kZoomValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                sizeof value);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace

void LoadOptions(Options& options)
{
    uint8_t bytes[sizeof(Options)] = {};
    OptionsFromRecord(options, bytes, ReadSetting(kOptionsValueName, REG_BINARY, bytes, sizeof bytes));
}

int LoadZoom()
{
    uint8_t bytes[4] = {};
    return StoredZoom(bytes, ReadSetting(kZoomValueName, REG_DWORD, bytes, sizeof bytes));
}

HKEY SaveOptionsTo(const Options& options, int zoom, const HKEY* roots, int rootCount)
{
    for (int i = 0; i < rootCount; ++i) {
        if (!WriteSettings(roots[i], options, zoom, true)) continue;
        // Settings left in the user's key are read first and would hide these:
        // an existing key of the others is brought up to date as well.
        for (int j = 0; j < rootCount; ++j)
            if (j != i) WriteSettings(roots[j], options, zoom, false);
        return roots[i];
    }
    ShowMessageBox(nullptr, LoadText(IDS_REGISTRY_FAILED).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
    return nullptr;
}

void SaveOptions(const Options& options, int zoom)
{
    const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    SaveOptionsTo(options, zoom, roots, 2);
}

int LoadRatesBank()
{
    DWORD bank = kRatesBankCbr;
    const DWORD size = ReadSetting(kRatesBankValueName, REG_DWORD, reinterpret_cast<uint8_t*>(&bank), sizeof bank);
    return size == sizeof bank && bank < kRatesBankCount ? static_cast<int>(bank) : kRatesBankCbr;
}

void SaveRatesBank(int bank)
{
    // The user's own choice: the user's key, which needs no rights beyond the user's.
    const DWORD value = static_cast<DWORD>(bank);
    RegSetKeyValueW(HKEY_CURRENT_USER, kOptionsKeyPath, kRatesBankValueName, REG_DWORD, &value, sizeof value);
}

std::wstring LoadRatesUrl()
{
    wchar_t text[1024] = {};
    const DWORD size = ReadSetting(kRatesUrlValueName, REG_SZ, reinterpret_cast<uint8_t*>(text), sizeof text - 2);
    return std::wstring(text, std::min<size_t>(size / sizeof(wchar_t), std::size(text) - 1)).c_str();
}
