// The record files on Linux: UTF-16 paths become UTF-8, a rewrite is
// fsync + rename(2).
#include "records/record_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. nullptr when out of memory.
char* ToUtf8(const char16_t* path)
{
    size_t units = 0;
    while (path[units] != 0) ++units;
    char* out = static_cast<char*>(std::malloc(units * 3 + 1));
    if (out == nullptr) return nullptr;
    size_t n = 0;
    for (size_t i = 0; i < units; ++i) {
        char32_t c = path[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out[n++] = static_cast<char>(c);
        } else if (c < 0x800) {
            out[n++] = static_cast<char>(0xC0 | (c >> 6));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out[n++] = static_cast<char>(0xE0 | (c >> 12));
            out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {  // two UTF-16 units gave four bytes: still within units * 3
            out[n++] = static_cast<char>(0xF0 | (c >> 18));
            out[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out[n] = 0;
    return out;
}

std::FILE* AsFile(RecordStream* stream) { return reinterpret_cast<std::FILE*>(stream); }
RecordStream* AsStream(std::FILE* file) { return reinterpret_cast<RecordStream*>(file); }

RecordStream* OpenRead(const char16_t* path, bool* missing)
{
    if (missing != nullptr) *missing = false;
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

int ReadByte(RecordStream* stream)
{
    std::FILE* file = AsFile(stream);
    const int byte = getc_unlocked(file);  // one thread reads a file; no locking per byte
    if (byte != EOF) return byte;
    return std::ferror(file) ? kRecordByteError : kRecordByteEnd;
}

bool Write(RecordStream* stream, const char* bytes, size_t size)
{
    return std::fwrite(bytes, 1, size, AsFile(stream)) == size;
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

constexpr RecordPlatform kSystem{OpenRead, CreateWrite, ReadByte, Write, Close, Replace, Remove, Reallocate};

}  // namespace

const RecordPlatform& SystemRecordPlatform() { return kSystem; }
