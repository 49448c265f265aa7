// Record file reader and rewrite, over an in-memory folder.
//
// The input is the content of a record file. For both kinds it is loaded,
// saved and loaded again; the fuzzer stops on a crash, on a save that fails,
// and on a rewrite that is not stable: saving what was loaded from a saved
// file must give the same bytes and the same list.
#include "core/lists/record_file.h"
#include "core/lists/record_list.h"
#include "fuzz/memory_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

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
    if (memoryFiles.count(kTempPath) != 0) std::abort();
    return memoryFiles[kPath];
}

void Check(const RecordFileKind& kind, const uint8_t* data, size_t size)
{
    memoryFiles.clear();
    memoryFiles[kPath] = std::string(reinterpret_cast<const char*>(data), size);

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
    SetRecordPlatform(&MemoryPlatform());
    Check(kConstantsKind.file, data, size);
    Check(kCurrencyKind.file, data, size);
    SetRecordPlatform(nullptr);
    return 0;
}
