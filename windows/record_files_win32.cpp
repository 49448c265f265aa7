// The record files in the Windows program: UTF-16 paths go straight to the
// wide file functions, a rewrite is _commit + MoveFileExW.
#include "core/lists/record_platform.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <io.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 paths are passed as wchar_t");

namespace {

std::FILE* AsFile(RecordStream* stream) { return reinterpret_cast<std::FILE*>(stream); }
RecordStream* AsStream(std::FILE* file) { return reinterpret_cast<RecordStream*>(file); }

const wchar_t* Wide(const char16_t* path) { return reinterpret_cast<const wchar_t*>(path); }

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

RecordStream* CreateWrite(const char16_t* path) { return AsStream(_wfopen(Wide(path), L"wb")); }

bool Close(RecordStream* stream)
{
    std::FILE* file = AsFile(stream);
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    // Files opened for reading only cannot be committed; that is no failure.
    if (ok && _commit(_fileno(file)) != 0 && errno != EBADF) ok = false;
    return std::fclose(file) == 0 && ok;
}

bool Replace(const char16_t* from, const char16_t* to)
{
    return MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Remove(const char16_t* path) { return DeleteFileW(Wide(path)) != 0; }

void* Reallocate(void* block, size_t size) { return std::realloc(block, size); }

constexpr RecordPlatform kSystem{OpenRead, CreateWrite, StdioRead, StdioWrite, Close, Replace, Remove, Reallocate};

}  // namespace

const RecordPlatform& SystemRecordPlatform() { return kSystem; }
