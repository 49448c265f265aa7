#include "fuzz/memory_folder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::map<std::u16string, std::string> memoryFiles;

namespace {

struct MemoryStream {
    std::u16string path;
    std::string data;
    size_t position = 0;
    bool writing = false;
};

MemoryStream* AsMemory(RecordStream* stream) { return reinterpret_cast<MemoryStream*>(stream); }

RecordStream* OpenRead(const char16_t* path, bool* missing)
{
    const auto found = memoryFiles.find(path);
    if (missing != nullptr) *missing = found == memoryFiles.end();
    if (found == memoryFiles.end()) return nullptr;
    return reinterpret_cast<RecordStream*>(new MemoryStream{path, found->second, 0, false});
}

RecordStream* CreateWrite(const char16_t* path)
{
    if (!memoryFiles.emplace(path, std::string()).second) return nullptr;
    return reinterpret_cast<RecordStream*>(new MemoryStream{path, std::string(), 0, true});
}

long Read(RecordStream* stream, char* buffer, size_t size)
{
    MemoryStream* s = AsMemory(stream);
    size_t n = std::min({size, s->data.size() - s->position, size_t{7} + s->position % 13});
    std::memcpy(buffer, s->data.data() + s->position, n);
    s->position += n;
    return static_cast<long>(n);
}

bool Write(RecordStream* stream, const char* bytes, size_t size)
{
    AsMemory(stream)->data.append(bytes, size);
    return true;
}

bool Close(RecordStream* stream)
{
    MemoryStream* s = AsMemory(stream);
    if (s->writing) memoryFiles[s->path] = s->data;
    delete s;
    return true;
}

bool Replace(const char16_t* from, const char16_t* to)
{
    const auto found = memoryFiles.find(from);
    if (found == memoryFiles.end()) return false;
    memoryFiles[to] = found->second;
    memoryFiles.erase(from);
    return true;
}

bool Remove(const char16_t* path)
{
    memoryFiles.erase(path);
    return true;
}
void* Reallocate(void* block, size_t size) { return std::realloc(block, size); }
RecordFault CheckWritable(const char16_t*) { return kRecordNoFault; }
RecordFault LastFault() { return kRecordNoFault; }

const RecordPlatform kMemory{OpenRead, CreateWrite, Read,       Write,         Close,
                             Replace,  Remove,      Reallocate, CheckWritable, LastFault};

}  // namespace

const RecordPlatform& MemoryPlatform() { return kMemory; }
