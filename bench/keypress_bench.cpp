// The cost of a key press that formats a result, against the one
// snprintf("%.6f") that such a press cannot avoid.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "core/calculator/calculator.h"
#include "core/skin/skin.h"

namespace {

void Start(Calculator& calc)
{
    Options options;
    DefaultOptions(options);
    StartCalculator(calc, options);
}

void Press(Calculator& calc, int key)
{
    KeypadKeyDown(calc.keypad, calc.engine, defaultKeyMap, key);
}

// Baseline: printing the quotient the way the display does.
void BM_Snprintf(benchmark::State& state)
{
    double x = 1.0 / 3;
    char buffer[64];
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        std::snprintf(buffer, sizeof buffer, "%.6f", x);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_Snprintf);

// The action key on "1/3": evaluate, format, trim.
void BM_ActionKeyFormatsResult(benchmark::State& state)
{
    Calculator calc;
    Start(calc);
    for (int key : {int('1'), int(kKeyRight), int('7'), int('3')}) Press(calc, key);
    const EngineState prepared = calc.engine;
    for (auto _ : state) {
        calc.engine = prepared;
        Press(calc, kKeyAction);
        benchmark::DoNotOptimize(calc.engine.text);
    }
}
BENCHMARK(BM_ActionKeyFormatsResult);

// The whole script "1 right 7 3 ok", five key presses.
void BM_ScriptOneRightSevenThreeOk(benchmark::State& state)
{
    Calculator calc;
    Start(calc);
    for (auto _ : state) {
        for (int key : {int('1'), int(kKeyRight), int('7'), int('3'), int(kKeyAction)}) Press(calc, key);
        benchmark::DoNotOptimize(calc.engine.text);
    }
}
BENCHMARK(BM_ScriptOneRightSevenThreeOk);

}  // namespace

BENCHMARK_MAIN();
