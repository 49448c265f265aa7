// The record files in the Windows program: UTF-16 paths go straight to the
// wide file functions, a rewrite is _commit + MoveFileExW.
#include "core/lists/record_platform.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 paths are passed as wchar_t");

namespace {

std::FILE* AsFile(RecordStream* stream) { return reinterpret_cast<std::FILE*>(stream); }
RecordStream* AsStream(std::FILE* file) { return reinterpret_cast<RecordStream*>(file); }

const wchar_t* Wide(const char16_t* path) { return reinterpret_cast<const wchar_t*>(path); }

// Noted where a call fails, before another call can change the error.
RecordFault lastFault = kRecordNoFault;

struct ErrorFault {
    unsigned long error;  // a system error code, or an errno value of the C run-time
    RecordFault fault;
};
constexpr ErrorFault kSystemFaults[] = {
    {ERROR_DISK_FULL, kRecordDiskFull},         {ERROR_HANDLE_DISK_FULL, kRecordDiskFull},
    {ERROR_FILE_TOO_LARGE, kRecordTooLarge},    {ERROR_ACCESS_DENIED, kRecordNoPermission},
    {ERROR_WRITE_PROTECT, kRecordReadOnly},     {ERROR_NOT_ENOUGH_MEMORY, kRecordNoMemory},
    {ERROR_OUTOFMEMORY, kRecordNoMemory},
};
constexpr ErrorFault kRuntimeFaults[] = {
    {ENOSPC, kRecordDiskFull}, {EFBIG, kRecordTooLarge}, {EACCES, kRecordNoPermission}, {ENOMEM, kRecordNoMemory},
};

template <size_t N>
void NoteFailure(const ErrorFault (&known)[N], unsigned long error, RecordFault otherwise)
{
    lastFault = otherwise;
    for (const ErrorFault& entry : known)
        if (entry.error == error) lastFault = entry.fault;
}
void NoteSystemFailure(RecordFault otherwise) { NoteFailure(kSystemFaults, GetLastError(), otherwise); }
void NoteRuntimeFailure(RecordFault otherwise)
{
    NoteFailure(kRuntimeFaults, static_cast<unsigned long>(errno), otherwise);
}

RecordStream* OpenRead(const char16_t* path, bool* missing)
{
    std::FILE* file = _wfopen(Wide(path), L"rb");
    if (file == nullptr && missing != nullptr) {
        const DWORD attributes = GetFileAttributesW(Wide(path));
        const DWORD error = GetLastError();
        *missing = attributes == INVALID_FILE_ATTRIBUTES &&
                   (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    }
    return AsStream(file);
}

// CREATE_NEW: a name that is taken, by a link above all, is never written through.
RecordStream* CreateWrite(const char16_t* path)
{
    HANDLE handle = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        NoteSystemFailure(kRecordWriteFailed);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    std::FILE* file = fd >= 0 ? _wfdopen(fd, L"wb") : nullptr;
    if (file == nullptr) {
        NoteRuntimeFailure(kRecordWriteFailed);
        if (fd >= 0) _close(fd);
        else CloseHandle(handle);
        DeleteFileW(Wide(path));
    }
    return AsStream(file);
}

bool Write(RecordStream* stream, const char* bytes, size_t size)
{
    if (StdioWrite(stream, bytes, size)) return true;
    NoteRuntimeFailure(kRecordWriteFailed);
    return false;
}

bool Close(RecordStream* stream)
{
    std::FILE* file = AsFile(stream);
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    if (!ok) NoteRuntimeFailure(kRecordWriteFailed);
    // Files opened for reading only cannot be committed; that is no failure.
    if (ok && _commit(_fileno(file)) != 0 && errno != EBADF) {
        NoteRuntimeFailure(kRecordWriteFailed);
        ok = false;
    }
    if (std::fclose(file) == 0) return ok;
    if (ok) NoteRuntimeFailure(kRecordWriteFailed);
    return false;
}

bool Replace(const char16_t* from, const char16_t* to)
{
    if (MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) return true;
    NoteSystemFailure(kRecordNotReplaced);
    return false;
}

// The full name the system gives what is opened as `path`; empty when it
// cannot be opened. Through a link it is the name of what the link points to.
std::wstring FinalPath(const wchar_t* path)
{
    HANDLE handle = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    wchar_t name[MAX_PATH * 2];
    const DWORD length = GetFinalPathNameByHandleW(handle, name, MAX_PATH * 2, FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(name, length) : std::wstring();
}

// Only a plain file goes. Wine shows a link to a file as that file and its
// DeleteFileW deletes what the link points to: a name that opens as another
// file's (its folder's final name and its own do not make up its final
// name) is left where it is, and so is a folder.
bool Remove(const char16_t* path)
{
    const wchar_t* wide = Wide(path);
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) return false;
    size_t name = std::wcslen(wide);
    while (name > 0 && wide[name - 1] != L'\\' && wide[name - 1] != L'/') --name;
    if (name == 0) return false;
    // The folder as "C:\" for a drive's root, else without its last separator.
    const bool root = name >= 2 && wide[name - 2] == L':';
    std::wstring folder = FinalPath(std::wstring(wide, root ? name : name - 1).c_str());
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    const std::wstring file = FinalPath(wide);
    const std::wstring named = folder + L"\\" + (wide + name);
    if (folder.empty() || file.empty() || CompareStringOrdinal(named.c_str(), -1, file.c_str(), -1, TRUE) != CSTR_EQUAL)
        return false;
    return DeleteFileW(wide) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
}

void* Reallocate(void* block, size_t size) { return std::realloc(block, size); }

// MoveFileExW replaces a read-only file like any other (and drops the mark):
// the mark, or a file that will not open for writing, is checked first.
RecordFault CheckWritable(const char16_t* path)
{
    const DWORD attributes = GetFileAttributesW(Wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return kRecordNoFault;  // missing, or no file: the reading says so
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return kRecordReadOnly;
    HANDLE handle = CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return kRecordNoFault;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return kRecordNoFault;
    // Held open by another program, the file cannot be replaced either.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? kRecordNotReplaced : kRecordReadOnly;
}

RecordFault LastFault() { return lastFault; }

constexpr RecordPlatform kSystem{OpenRead, CreateWrite, StdioRead, Write,         Close,
                                 Replace,  Remove,      Reallocate, CheckWritable, LastFault};

}  // namespace

const RecordPlatform& SystemRecordPlatform() { return kSystem; }
