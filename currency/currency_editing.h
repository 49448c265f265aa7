// What the currencies dialog does to the currency table, without a window:
// the dialog procedure reads its controls, calls these, and shows the outcome.
//
// While the dialog is open the table's workRates hold the rates as edited and
// workQuick the quick choices as they stood when the dialog opened. Adding,
// deleting and renaming change the table itself at once (an added currency
// has the rate 0 in `rates` until Ok); rate edits and quick choices stay in
// the working copies until Ok saves them.
//
// The rate box shows workRates[currentRow]; whenever it is about to show
// another row, and on Ok, the number in it is first kept in that row.
#pragma once

#include "records/list_editing.h"

#include "currency/currency_table.h"

// currentRow: the row shown in the rate box; modified: 1 after add, delete
// or rename, so that Ok writes.
using CurrenciesEditing = ListEditing;

// Fills the working state: workRates a copy of rates, workQuick of quick,
// currentRow 0, modified 0. An empty table (or no memory for the copy) gives
// currentRow -1. False when memory ran out.
bool BeginCurrenciesEditing(CurrencyTable& table, CurrenciesEditing& editing);

// Keeps the rate box's number in the current row, if there is one.
void KeepCurrencyRate(CurrencyTable& table, const CurrenciesEditing& editing, double fieldValue);

// The currency list moved to `row`: the box's number is kept for the row it
// showed and `row` becomes current. False, with nothing changed, for a row
// outside the table or without working rates.
bool MoveToCurrency(CurrencyTable& table, CurrenciesEditing& editing, int row, double fieldValue);

// Appends `name`, cut to 6 units, with `value` as its working rate and 0 as
// its stored rate; modified = 1. False, with nothing changed, when memory
// runs out.
bool AddCurrency(CurrencyTable& table, CurrenciesEditing& editing, const char16_t* name, double value);

// Removes row `row` from names, rates and workRates; modified = 1. The first
// row becomes current (-1 when none is left), and working quick choices at
// or past the new end become 0. False for a row outside the table.
bool DeleteCurrency(CurrencyTable& table, CurrenciesEditing& editing, int row);

// Row `row` gets `name` cut to 6 units and the working rate `value`;
// modified = 1. False, with nothing changed, for a row outside the table or
// when memory runs out.
bool ChangeCurrency(CurrencyTable& table, CurrenciesEditing& editing, int row, const char16_t* name, double value);

// Ok: takes the quick lists' selections (negative: none, read as 0) into
// workQuick and the box's number into the current row. True when the table
// must be saved: modified, or working rates or quick choices differ from the
// stored ones. An empty table is never saved.
bool CurrenciesNeedSaving(CurrencyTable& table, const CurrenciesEditing& editing,
                          const int (&quickLists)[kQuickCurrencyCount], double fieldValue);

// The dialog's Ok: 1 when SaveCurrencies ran (whether or not the file could
// be written), 0 when there was nothing to save. Ends the editing.
int FinishCurrenciesOk(CurrencyTable& table, const CurrenciesEditing& editing,
                       const int (&quickLists)[kQuickCurrencyCount], double fieldValue, const char16_t* programFolder);

// Releases the working rates (Отмена, and the end of Ok).
void EndCurrenciesEditing(CurrencyTable& table);
