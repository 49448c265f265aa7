// Registry storage of the options record.
//
// The machine-wide key is the record's home, but a user without the right to
// write there still keeps settings: the user's own key is tried first on
// reading and second on writing.
#include "windows/registry.h"

#include "resources/resource.h"
#include "windows/text.h"
#include "windows/shell/message_box.h"

const wchar_t kOptionsKeyPath[] = L"Software\\Vela2003";
const wchar_t kOptionsValueName[] = L"Options";

namespace {

// The stored bytes under `root`; false when there is no such value. A value
// longer than the record does not fit the buffer and counts as broken (size 0).
bool ReadStoredRecord(HKEY root, uint8_t (&bytes)[sizeof(Options)], DWORD& size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kOptionsKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    size = sizeof bytes;
    LONG status = RegQueryValueExW(key, kOptionsValueName, nullptr, &type, bytes, &size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS || type != REG_BINARY) size = 0;
    return true;
}

bool WriteRecord(HKEY root, const Options& options, bool createKey)
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(root, kOptionsKeyPath, 0, KEY_SET_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        if (!createKey) return false;
        status = RegCreateKeyExW(root, kOptionsKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                 nullptr);
        if (status != ERROR_SUCCESS) return false;
    }
    status = RegSetValueExW(key, kOptionsValueName, 0, REG_BINARY,
                            reinterpret_cast<const BYTE*>(&options), sizeof options);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace

void LoadOptions(Options& options)
{
    uint8_t bytes[sizeof(Options)] = {};
    DWORD size = 0;
    if (!ReadStoredRecord(HKEY_CURRENT_USER, bytes, size) &&
        !ReadStoredRecord(HKEY_LOCAL_MACHINE, bytes, size))
        size = 0;
    OptionsFromRecord(options, bytes, size);
}

HKEY SaveOptionsTo(const Options& options, const HKEY* roots, int rootCount)
{
    for (int i = 0; i < rootCount; ++i) {
        if (!WriteRecord(roots[i], options, true)) continue;
        // A record left in the user's key is read first and would hide this
        // one: an existing key of the others is brought up to date as well.
        for (int j = 0; j < rootCount; ++j)
            if (j != i) WriteRecord(roots[j], options, false);
        return roots[i];
    }
    ShowMessageBox(nullptr, LoadText(IDS_REGISTRY_FAILED).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
    return nullptr;
}

void SaveOptions(const Options& options)
{
    const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    SaveOptionsTo(options, roots, 2);
}
