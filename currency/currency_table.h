// The currency table: short currency names with their rates, read from
// "currency.txt" in the program folder, and the quick-conversion entries of
// the "Валюта" menu built from its three quick currencies.
//
// A rate is the worth of one unit in a common reference unit; only the ratio
// of two rates is used, so any currency may be the reference with rate 1.
// One table exists for the whole run: loaded at window creation, changed in
// place by the currencies dialog, written back by SaveCurrencies, released at
// exit.
#pragma once

#include <cstdint>

#include "engine/engine.h"

enum : int {
    kQuickCurrencyCount = 3,
    kQuickEntryCount = 6,      // ordered pairs of three different currencies
    kCurrencyNameLimit = 6,    // code units of a name
    kQuickLabelCapacity = 16,  // "XXXXXX->YYYYYY" and the NUL
    kCurrencySubMenu = 0,      // "Валюта" is the first sub-menu of "Функции"
};

struct CurrencyTable {
    char16_t** names = nullptr;  // `count` owned names of at most 6 units
    double* rates = nullptr;     // `count` rates, same order
    int count = 0;               // after a load: 0 or at least 2
    int quick[kQuickCurrencyCount] = {};          // table indices of quick currencies 1..3
    int quickPairs[kQuickEntryCount][2] = {};     // (from, to) of each entry shown
    int quickPairCount = 0;                       // entries shown, 0..6
    // The currencies dialog's working copies while it is open.
    double* workRates = nullptr;                  // `count` rates, or none
    int workQuick[kQuickCurrencyCount] = {};
};

// Empties the table, reads "currency.txt" from `programFolder` (ending in the
// path separator) and rebuilds the quick entries of `window`. A missing file,
// one without a header or with fewer than two records, and lack of memory
// give an empty table. Quick currencies outside the table become the first
// one. Returns the new count.
int LoadCurrencies(CurrencyTable& table, const char16_t* programFolder, uintptr_t window);

// Releases names, rates and the working rates; the table is empty afterwards.
void FreeCurrencies(CurrencyTable& table);

// Labels the "Валюта" items 40022.. with "X->Y" for every ordered pair of two
// different quick currencies (quick 1 first, then 2, then 3; with two
// currencies only quick 1 and 2 count), inserting the items that are missing
// and deleting the rest; sets quickPairs and quickPairCount.
void BuildCurrencyMenu(CurrencyTable& table, uintptr_t window);

// Converts engine.value by quick entry `entry` (0..5); nothing happens for an
// entry that is not shown or that names a currency no longer in the table.
void ConvertQuick(const CurrencyTable& table, EngineState& engine, int entry);

// engine.value = (rates[from] / rates[to]) * engine.value, in that order. No
// rate is checked: a zero rate gives an infinity or not-a-number. Indices
// outside the table change nothing.
void ConvertCurrency(const CurrencyTable& table, EngineState& engine, int from, int to);

// Takes the dialog's working quick choices and working rates into the table,
// then rewrites "currency.txt" (comments before the first record survive).
// True when the file holds the table. The table keeps the new values either way.
bool SaveCurrencies(CurrencyTable& table, const char16_t* programFolder);

// Writes engine.value into engine.text with "%.2f", whatever the
// representation. A value that is not finite shows "ERROR"; one whose text
// would not fit the display text is formatted as any other result.
void ShowConvertedValue(EngineState& engine);
