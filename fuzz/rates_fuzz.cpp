// The import of a bank's rates file, over an in-memory folder that holds a
// currency table already.
//
// The input is the downloaded file. The fuzzer stops on a crash, and when
// - preparing the import changed a file, or a refused file, or a failed
//   save, changed currency.txt;
// - the text of the prepared import differs from what its save wrote;
// - the written table does not load back with at least two currencies, all
//   of them with a rate above 0, and with the import's date;
// - importing the same file again changes a byte.
#include "core/lists/rates_import.h"
#include "core/lists/record_list.h"
#include "fuzz/memory_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char16_t kFolder[] = u"/m/";
constexpr char16_t kPath[] = u"/m/currency.txt";

// Рубль, Евро, Крона in Windows-1251: both banks' base currencies are in it,
// so every import brings the kept ones into its base.
const std::string kOldTable = "; old\n2,3,1\n\xD0\xF3\xE1\xEB\xFC=1\n\xC5\xE2\xF0\xEE=90\nUSD=80\n\xCA\xF0\xEE\xED\xE0=7.5\n";

void Check(const char* bytes, size_t size)
{
    memoryFiles.clear();
    memoryFiles[kPath] = kOldTable;
    RatesProblem problem;
    RatesImport import;
    const RatesOutcome prepared = PrepareRatesImport(bytes, size, kFolder, import, problem);
    if (memoryFiles.size() != 1 || memoryFiles[kPath] != kOldTable) std::abort();
    const RatesOutcome outcome = prepared == kRatesWritten ? SaveRatesImport(import, kFolder, problem) : prepared;
    if (memoryFiles.size() != 1) std::abort();
    if (outcome != kRatesWritten) {
        if (memoryFiles[kPath] != kOldTable || RatesTextOf(problem.code)[0] == 0) std::abort();
        return;
    }
    const std::string written = memoryFiles[kPath];
    if (written != RatesImportText(import)) std::abort();

    int header[kRecordMaxHeader] = {};
    char16_t** names = nullptr;
    double* values = nullptr;
    NameBlock block;
    const int count = LoadRecordList(kFolder, u"currency", kCurrencyKind.file, header, &names, &values, block);
    bool positive = count >= 2;
    for (int i = 0; i < count; ++i) positive = positive && values[i] > 0;
    ReleaseRecordTables(&names, &values, block, count);
    char16_t date[kRatesDateCapacity];
    if (!positive || !ReadRatesDate(kFolder, date) || std::u16string(date) != import.date) std::abort();

    if (ImportRates(bytes, size, kFolder, problem) != kRatesWritten || memoryFiles[kPath] != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetRecordPlatform(&MemoryPlatform());
    Check(reinterpret_cast<const char*>(data), size);
    SetRecordPlatform(nullptr);
    return 0;
}
