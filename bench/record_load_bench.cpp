// Loading a constants file of 100 000 records (both passes, tables, names,
// values, menu) against reading the same file line by line and doing nothing
// with the lines. The load's counter "vs_plain_read" is the ratio of the two.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "constants/constant_list.h"
#include "settings/options.h"

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
    Options options;
    DefaultOptions(options);
    ConstantList list;
    Clock::duration loading{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const int count = LoadConstants(list, folder.folder.c_str(), options, 0);
        loading += Clock::now() - start;
        if (count != kRecords) state.SkipWithError("the file did not load whole");
        benchmark::DoNotOptimize(list.values);
    }
    ReleaseConstants(list);

    // The same number of plain reads, timed the same way, for the ratio.
    Clock::duration reading{};
    for (benchmark::IterationCount i = 0; i < state.iterations(); ++i) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(PlainRead(folder.file));
        reading += Clock::now() - start;
    }
    state.counters["vs_plain_read"] =
        reading.count() > 0 ? static_cast<double>(loading.count()) / static_cast<double>(reading.count()) : 0.0;
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_LoadConstants)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
