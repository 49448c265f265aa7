// Record file reader and rewrite, over an in-memory folder.
//
// The input is the content of a record file. For both kinds it is loaded,
// saved and loaded again; the fuzzer stops on a crash, on a save that fails,
// and on a rewrite that is not stable: saving what was loaded from a saved
// file must give the same bytes and the same list.
#include "core/lists/record_file.h"
#include "core/lists/record_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct MemoryStream {
    std::u16string path;
    std::string data;
    size_t position = 0;
    bool writing = false;
};

std::map<std::u16string, std::string> files;

MemoryStream* AsMemory(RecordStream* stream) { return reinterpret_cast<MemoryStream*>(stream); }

RecordStream* OpenRead(const char16_t* path, bool* missing)
{
    const auto found = files.find(path);
    if (missing != nullptr) *missing = found == files.end();
    if (found == files.end()) return nullptr;
    return reinterpret_cast<RecordStream*>(new MemoryStream{path, found->second, 0, false});
}

RecordStream* CreateWrite(const char16_t* path)
{
    return reinterpret_cast<RecordStream*>(new MemoryStream{path, std::string(), 0, true});
}

// Odd-sized pieces, so that lines cross the reader's block boundaries.
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
    if (s->writing) files[s->path] = s->data;
    delete s;
    return true;
}

bool Replace(const char16_t* from, const char16_t* to)
{
    const auto found = files.find(from);
    if (found == files.end()) return false;
    files[to] = found->second;
    files.erase(from);
    return true;
}

bool Remove(const char16_t* path) { return files.erase(path) == 1; }

void* Reallocate(void* block, size_t size) { return std::realloc(block, size); }

const RecordPlatform kMemory{OpenRead, CreateWrite, Read, Write, Close, Replace, Remove, Reallocate};

constexpr char16_t kFolder[] = u"/m/";
constexpr char16_t kName[] = u"f";
constexpr char16_t kPath[] = u"/m/f.txt";
constexpr char16_t kTempPath[] = u"/m/~tmpcur~.txt";

struct List {
    int count = 0;
    std::vector<std::u16string> names;
    std::vector<double> values;
    int header[kRecordMaxHeader] = {};
};

List Load(const RecordFileKind& kind)
{
    List list;
    char16_t** names = nullptr;
    double* values = nullptr;
    NameBlock block;
    list.count = LoadRecordList(kFolder, kName, kind, list.header, &names, &values, block);
    for (int i = 0; i < list.count; ++i) {
        list.names.emplace_back(names[i]);
        list.values.push_back(values[i]);
    }
    ReleaseRecordTables(&names, &values, block, list.count);
    return list;
}

std::string Save(const RecordFileKind& kind, const List& list)
{
    std::vector<char16_t*> names;
    for (const std::u16string& name : list.names) names.push_back(const_cast<char16_t*>(name.c_str()));
    const int count = list.count > 0 ? list.count : 0;
    if (!SaveRecordFile(kFolder, kName, kind, list.header, names.data(), list.values.data(), count)) std::abort();
    if (files.count(kTempPath) != 0) std::abort();
    return files[kPath];
}

void Check(const RecordFileKind& kind, const uint8_t* data, size_t size)
{
    files.clear();
    files[kPath] = std::string(reinterpret_cast<const char*>(data), size);

    const List first = Load(kind);
    for (const std::u16string& name : first.names)
        if (name.size() > kind.nameLimit) std::abort();

    const std::string saved = Save(kind, first);
    const List second = Load(kind);
    if (second.count != (first.count > 0 ? first.count : 0)) std::abort();
    if (second.names != first.names) std::abort();
    if (first.count > 0 && std::memcmp(first.header, second.header, sizeof first.header) != 0) std::abort();
    if (Save(kind, second) != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetRecordPlatform(&kMemory);
    Check(kConstantsKind.file, data, size);
    Check(kCurrencyKind.file, data, size);
    SetRecordPlatform(nullptr);
    return 0;
}
