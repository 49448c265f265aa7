#include "currency/currency_table.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "engine/platform_seam.h"
#include "engine/text16.h"
#include "records/record_file.h"
#include "resources/resource.h"

namespace {

constexpr char16_t kError[] = u"ERROR";

bool InTable(const CurrencyTable& table, int index)
{
    return index >= 0 && index < table.count;
}

// "X->Y", each name cut to the name limit, so the label always fits.
void QuickLabel(const char16_t* from, const char16_t* to, char16_t (&label)[kQuickLabelCapacity])
{
    size_t n = U16Copy(label, kCurrencyNameLimit + 1, from != nullptr ? from : u"");
    n += U16Copy(label + n, 3, u"->");
    U16Copy(label + n, kCurrencyNameLimit + 1, to != nullptr ? to : u"");
}

bool AlreadyShown(const CurrencyTable& table, int slots, int from, int to)
{
    for (int s = 0; s < slots; ++s)
        if (table.quickPairs[s][0] == from && table.quickPairs[s][1] == to) return true;
    return false;
}

}  // namespace

int LoadCurrencies(CurrencyTable& table, const char16_t* programFolder, uintptr_t window)
{
    FreeCurrencies(table);
    int header[kRecordMaxHeader] = {};
    // The count is that of the names actually read, should memory run out.
    const int count = LoadRecordList(programFolder, kCurrencyKind.fileName, kCurrencyKind, header, &table.names,
                                     &table.rates);
    if (count > 1) {
        table.count = count;
        for (int k = 0; k < kQuickCurrencyCount; ++k) table.quick[k] = InTable(table, header[k]) ? header[k] : 0;
    } else {
        // One currency converts into nothing: such a file is no table.
        ReleaseRecordList(&table.names, &table.rates, nullptr, count > 0 ? count : 0);
    }
    BuildCurrencyMenu(table, window);
    return table.count;
}

void FreeCurrencies(CurrencyTable& table)
{
    ReleaseRecordList(&table.names, &table.rates, &table.workRates, table.count);
    table.count = 0;
}

void BuildCurrencyMenu(CurrencyTable& table, uintptr_t window)
{
    const int n = table.count < kQuickCurrencyCount ? table.count : kQuickCurrencyCount;
    int slot = 0;
    for (int j = 0; j < n; ++j) {
        const int from = table.quick[j];
        for (int k = 0; k < n; ++k) {
            const int to = table.quick[k];
            if (to == from || AlreadyShown(table, slot, from, to)) continue;
            if (!InTable(table, from) || !InTable(table, to)) continue;  // a table shrunk under its choices
            char16_t label[kQuickLabelCapacity];
            QuickLabel(table.names[from], table.names[to], label);
            const int id = IDM_CURRENCY_QUICK1 + slot;
            if (!SetSoftKeyMenuText(window, IDM_FUNCTIONS_BUTTON, kCurrencySubMenu, id, label) &&
                !InsertSoftKeyMenuItem(window, IDM_FUNCTIONS_BUTTON, kCurrencySubMenu, slot, id, label)) {
                table.quickPairCount = slot;  // the later items stay as they were
                return;
            }
            table.quickPairs[slot][0] = from;
            table.quickPairs[slot][1] = to;
            ++slot;
        }
    }
    for (int id = IDM_CURRENCY_QUICK1 + slot; id <= IDM_CURRENCY_QUICK6; ++id)
        DeleteSoftKeyMenuItem(window, IDM_FUNCTIONS_BUTTON, kCurrencySubMenu, id);
    table.quickPairCount = slot;
}

void ConvertQuick(const CurrencyTable& table, EngineState& engine, int entry)
{
    if (entry < 0 || entry >= table.quickPairCount || entry >= kQuickEntryCount) return;
    ConvertCurrency(table, engine, table.quickPairs[entry][0], table.quickPairs[entry][1]);
}

void ConvertCurrency(const CurrencyTable& table, EngineState& engine, int from, int to)
{
    if (!InTable(table, from) || !InTable(table, to) || table.rates == nullptr) return;
    const double ratio = table.rates[from] / table.rates[to];
    engine.value = ratio * engine.value;
}

bool SaveCurrencies(CurrencyTable& table, const char16_t* programFolder)
{
    for (int k = 0; k < kQuickCurrencyCount; ++k)
        table.quick[k] = InTable(table, table.workQuick[k]) ? table.workQuick[k] : 0;
    if (table.workRates != nullptr && table.rates != nullptr)
        for (int i = 0; i < table.count; ++i) table.rates[i] = table.workRates[i];
    return SaveRecordFile(programFolder, kCurrencyKind.fileName, kCurrencyKind, table.quick, table.names,
                          table.rates, table.count);
}

void ShowConvertedValue(EngineState& engine)
{
    const double value = engine.value;
    if (!std::isfinite(value)) {
        U16Copy(engine.text, kTextCapacity, kError);
        return;
    }
    char printed[kTextCapacity + 8];
    const int size = std::snprintf(printed, sizeof printed, "%.2f", value);
    if (size < 0 || size >= kTextCapacity) {
        // From 1e38 on (-1e37 for negatives) two decimals outgrow the display.
        FormatValue(engine, value);
        return;
    }
    U16FromAscii(engine.text, kTextCapacity, printed);
}
