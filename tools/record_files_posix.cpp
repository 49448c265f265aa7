// The record files of the native tools and tests: UTF-16 paths become
// UTF-8, a rewrite is fsync + rename(2).
#include "core/lists/record_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "core/text/text16.h"

namespace {

std::FILE* AsFile(RecordStream* stream) { return reinterpret_cast<std::FILE*>(stream); }
RecordStream* AsStream(std::FILE* file) { return reinterpret_cast<RecordStream*>(file); }

// The path as the file system takes it; nullptr when out of memory.
char* ToUtf8(const char16_t* path)
{
    const size_t size = U16Utf8Size(path);
    char* out = static_cast<char*>(std::malloc(size));
    if (out != nullptr) U16ToUtf8(path, out, size);
    return out;
}

RecordStream* OpenRead(const char16_t* path, bool* missing)
{
    char* utf8 = ToUtf8(path);
    if (utf8 == nullptr) return nullptr;
    std::FILE* file = std::fopen(utf8, "rb");
    if (file == nullptr && missing != nullptr) *missing = errno == ENOENT;
    std::free(utf8);
    return AsStream(file);
}

RecordStream* CreateWrite(const char16_t* path)
{
    char* utf8 = ToUtf8(path);
    if (utf8 == nullptr) return nullptr;
    std::FILE* file = std::fopen(utf8, "wb");
    std::free(utf8);
    return AsStream(file);
}

bool Close(RecordStream* stream)
{
    std::FILE* file = AsFile(stream);
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    // Read-only streams have nothing to sync; fsync on them is harmless.
    if (ok && fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS) ok = false;
    return std::fclose(file) == 0 && ok;
}

// Makes the rename itself durable; best effort, the rename has happened.
void SyncFolder(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return;
    const size_t size = static_cast<size_t>(slash - path) + 1;
    char* folder = static_cast<char*>(std::malloc(size + 1));
    if (folder == nullptr) return;
    std::memcpy(folder, path, size);
    folder[size] = 0;
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    std::free(folder);
}

bool Replace(const char16_t* from, const char16_t* to)
{
    char* source = ToUtf8(from);
    char* target = ToUtf8(to);
    const bool ok = source != nullptr && target != nullptr && std::rename(source, target) == 0;
    if (ok) SyncFolder(target);
    std::free(source);
    std::free(target);
    return ok;
}

bool Remove(const char16_t* path)
{
    char* utf8 = ToUtf8(path);
    const bool ok = utf8 != nullptr && unlink(utf8) == 0;
    std::free(utf8);
    return ok;
}

void* Reallocate(void* block, size_t size) { return std::realloc(block, size); }

constexpr RecordPlatform kSystem{OpenRead, CreateWrite, StdioRead, StdioWrite, Close, Replace, Remove, Reallocate};

}  // namespace

const RecordPlatform& SystemRecordPlatform() { return kSystem; }
