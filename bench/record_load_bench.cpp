// Loading a constants file of 100 000 records into an empty list (both
// passes, tables, names, values) against reading the same file line by line
// and doing nothing with the lines. The load's counter "vs_plain_read" is the
// ratio of the two.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/lists/record_list.h"

namespace {

constexpr int kRecords = 100000;

struct BenchFolder {
    std::string path;        // ends in '/'
    std::u16string folder;   // the same, UTF-16
    std::string file;        // path of constant.txt

    BenchFolder()
    {
        char pattern[] = "/tmp/vela-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made != nullptr ? made : "/tmp";
        path += '/';
        for (char c : path) folder += static_cast<char16_t>(c);
        file = path + "constant.txt";
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) return;
        std::fputs("; bench constants\n1,2,3,4,5,6\n", out);
        // Cyrillic names of 14 bytes, as in a real constants file.
        for (int i = 0; i < kRecords; ++i)
            std::fprintf(out, "\xCA\xEE\xED\xF1\xF2\xE0\xED\xF2\xE0 %05d=%.6e\n", i, 1.0 + i * 1e-3);
        std::fclose(out);
    }
    ~BenchFolder() { std::filesystem::remove_all(path); }
};

BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

// The baseline: every line through one 160-byte buffer, as a reader must at least.
size_t PlainRead(const std::string& file)
{
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) return 0;
    char line[160];
    size_t lines = 0;
    while (std::fgets(line, sizeof line, in) != nullptr) ++lines;
    std::fclose(in);
    return lines;
}

using Clock = std::chrono::steady_clock;

void BM_PlainReadLines(benchmark::State& state)
{
    const std::string& file = Folder().file;
    for (auto _ : state) benchmark::DoNotOptimize(PlainRead(file));
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_PlainReadLines)->Unit(benchmark::kMillisecond);

void BM_LoadConstants(benchmark::State& state)
{
    BenchFolder& folder = Folder();
    RecordList list;
    InitList(list, kConstantsKind);
    // Each round times one plain read and one load, one after the other, so
    // that both meet the same machine; the ratio is of the fastest of each,
    // the least disturbed by anything else running.
    Clock::duration fastestLoad = Clock::duration::max();
    Clock::duration fastestRead = Clock::duration::max();
    for (auto _ : state) {
        state.PauseTiming();
        Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(PlainRead(folder.file));
        fastestRead = std::min(fastestRead, Clock::now() - start);
        state.ResumeTiming();

        start = Clock::now();
        const int count = LoadList(list, folder.folder.c_str(), u"constant");
        fastestLoad = std::min(fastestLoad, Clock::now() - start);
        if (count != kRecords) state.SkipWithError("the file did not load whole");
        benchmark::DoNotOptimize(list.values);

        // Releasing the list is not loading it: each load starts empty.
        state.PauseTiming();
        ReleaseList(list);
        state.ResumeTiming();
    }
    state.counters["vs_plain_read"] =
        static_cast<double>(fastestLoad.count()) / static_cast<double>(fastestRead.count());
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_LoadConstants)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
