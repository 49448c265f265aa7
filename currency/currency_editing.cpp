#include "currency/currency_editing.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "records/list_editing.h"
#include "records/record_file.h"

namespace {

EditedList View(CurrencyTable& table)
{
    return {table.names, table.rates, table.workRates, table.count, table.workQuick, kQuickCurrencyCount};
}

}  // namespace

bool BeginCurrenciesEditing(CurrencyTable& table, CurrenciesEditing& editing)
{
    for (int k = 0; k < kQuickCurrencyCount; ++k) table.workQuick[k] = table.count > 0 ? table.quick[k] : 0;
    return BeginListEditing(View(table), editing);
}

void KeepCurrencyRate(CurrencyTable& table, const CurrenciesEditing& editing, double fieldValue)
{
    KeepWorkValue(View(table), editing, fieldValue);
}

bool MoveToCurrency(CurrencyTable& table, CurrenciesEditing& editing, int row, double fieldValue)
{
    return MoveToRow(View(table), editing, row, fieldValue);
}

bool AddCurrency(CurrencyTable& table, CurrenciesEditing& editing, const char16_t* name, double value)
{
    return AddEntry(View(table), editing, name, kCurrencyNameLimit, value);
}

bool DeleteCurrency(CurrencyTable& table, CurrenciesEditing& editing, int row)
{
    return DeleteEntry(View(table), editing, row);
}

bool ChangeCurrency(CurrencyTable& table, CurrenciesEditing& editing, int row, const char16_t* name, double value)
{
    return ChangeEntry(View(table), editing, row, name, kCurrencyNameLimit, value);
}

bool CurrenciesNeedSaving(CurrencyTable& table, const CurrenciesEditing& editing,
                          const int (&quickLists)[kQuickCurrencyCount], double fieldValue)
{
    return ListNeedsSaving(View(table), editing, quickLists, table.quick, fieldValue);
}

int FinishCurrenciesOk(CurrencyTable& table, const CurrenciesEditing& editing,
                       const int (&quickLists)[kQuickCurrencyCount], double fieldValue, const char16_t* programFolder)
{
    int result = 0;
    if (CurrenciesNeedSaving(table, editing, quickLists, fieldValue)) {
        SaveCurrencies(table, programFolder);  // an unwritable file is not reported
        result = 1;
    }
    EndCurrenciesEditing(table);
    return result;
}

void EndCurrenciesEditing(CurrencyTable& table) { EndListEditing(View(table)); }
