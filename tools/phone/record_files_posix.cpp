// The record files of the native tools and tests: UTF-16 paths become
// UTF-8, a rewrite is fsync + rename(2).
#include "core/lists/record_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text/text16.h"

namespace {

std::FILE* AsFile(RecordStream* stream) { return reinterpret_cast<std::FILE*>(stream); }
RecordStream* AsStream(std::FILE* file) { return reinterpret_cast<RecordStream*>(file); }

// Noted where a call fails, before anything else can change errno.
RecordFault lastFault = kRecordNoFault;

struct ErrnoFault {
    int error;
    RecordFault fault;
};
constexpr ErrnoFault kErrnoFaults[] = {
    {ENOSPC, kRecordDiskFull},     {EDQUOT, kRecordDiskFull},     {EFBIG, kRecordTooLarge},
    {EACCES, kRecordNoPermission}, {EPERM, kRecordNoPermission},  {EROFS, kRecordReadOnly},
    {ENOMEM, kRecordNoMemory},
};

// Notes errno as the reason of a failure; `otherwise` when it names none of
// the reasons the user is told.
void NoteFailure(RecordFault otherwise)
{
    const int error = errno;
    lastFault = otherwise;
    for (const ErrnoFault& known : kErrnoFaults)
        if (known.error == error) lastFault = known.fault;
}

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
    if (utf8 == nullptr) {
        lastFault = kRecordNoMemory;
        return nullptr;
    }
    // O_EXCL: a name taken by anything, a link above all, is never written through.
    const int fd = open(utf8, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    std::FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        NoteFailure(kRecordWriteFailed);
        if (fd >= 0) {
            close(fd);
            unlink(utf8);
        }
    }
    std::free(utf8);
    return AsStream(file);
}

bool Write(RecordStream* stream, const char* bytes, size_t size)
{
    if (StdioWrite(stream, bytes, size)) return true;
    NoteFailure(kRecordWriteFailed);
    return false;
}

bool Close(RecordStream* stream)
{
    std::FILE* file = AsFile(stream);
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    if (!ok) NoteFailure(kRecordWriteFailed);
    // Read-only streams have nothing to sync; fsync on them is harmless.
    if (ok && fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS) {
        NoteFailure(kRecordWriteFailed);
        ok = false;
    }
    if (std::fclose(file) == 0) return ok;
    if (ok) NoteFailure(kRecordWriteFailed);
    return false;
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
    else NoteFailure(kRecordNotReplaced);
    std::free(source);
    std::free(target);
    return ok;
}

bool Remove(const char16_t* path)
{
    char* utf8 = ToUtf8(path);
    // unlink takes a link itself, never what it points to.
    const bool ok = utf8 != nullptr && (unlink(utf8) == 0 || errno == ENOENT);
    std::free(utf8);
    return ok;
}

void* Reallocate(void* block, size_t size) { return std::realloc(block, size); }

RecordFault CheckWritable(const char16_t* path)
{
    char* utf8 = ToUtf8(path);
    if (utf8 == nullptr) return kRecordNoFault;  // the save itself runs out of memory then
    struct stat status{};
    // access() lets root write anything: a file without a single write bit is
    // still one its owner marked read-only.
    const bool readOnly =
        stat(utf8, &status) == 0 && (access(utf8, W_OK) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0);
    std::free(utf8);
    return readOnly ? kRecordReadOnly : kRecordNoFault;
}

RecordFault LastFault() { return lastFault; }

constexpr RecordPlatform kSystem{OpenRead, CreateWrite, StdioRead, Write,         Close,
                                 Replace,  Remove,      Reallocate, CheckWritable, LastFault};

}  // namespace

const RecordPlatform& SystemRecordPlatform() { return kSystem; }
