// What the constants dialog does to the constant list, without a window: the
// dialog procedure reads its controls, calls these, and shows the outcome.
//
// While the dialog is open the list's workValues hold the values as edited
// and workSlots the slot choices as they stood when the dialog was filled.
// Adding, deleting and renaming change the list itself at once (an added
// constant has the value 0 in `values` until Ok); value edits and slot
// choices stay in the working copies until Ok saves them.
//
// The value field shows workValues[currentRow]; whenever it is about to show
// another row, and on Ok, the number in it is first kept in that row.
#pragma once

#include "records/list_editing.h"

#include <cstddef>

#include "constants/constant_list.h"
#include "settings/options.h"

enum : int {
    kConstantNameLimit = 14,    // code units of a name added in the dialog
    kEditorValueCapacity = 50,  // the name-and-value editor's value text
    kNumberFieldCapacity = 100, // ShowNumberField's text
};

// currentRow: the row shown in the value field; modified: 1 after add,
// delete, rename or load, so that Ok writes.
using ConstantsEditing = ListEditing;

// Fills the working state from the list: workValues a copy of values,
// workSlots of slots, currentRow 0, modified 0. An empty list (or no memory
// for the copy) gives currentRow -1. False when memory ran out.
bool BeginConstantsEditing(ConstantList& list, ConstantsEditing& editing);

// Keeps the value field's number in the current row, if there is one.
void KeepConstantValue(ConstantList& list, const ConstantsEditing& editing, double fieldValue);

// The constant picker moved to `row`: the field's number is kept for the row
// it showed and `row` becomes current. False, with nothing changed, for a row
// outside the list or without working values.
bool MoveToConstant(ConstantList& list, ConstantsEditing& editing, int row, double fieldValue);

// Appends `name`, cut to 14 units, with `value` as its working value and 0 as
// its stored value; modified = 1. Selections and currentRow stay. False, with
// nothing changed, when memory runs out.
bool AddConstant(ConstantList& list, ConstantsEditing& editing, const char16_t* name, double value);

// Removes row `row` from names, values and workValues; modified = 1. The
// first row becomes current (-1 when none is left), and working slots at or
// past the new end become 0. False for a row outside the list.
bool DeleteConstant(ConstantList& list, ConstantsEditing& editing, int row);

// Row `row` gets a copy of `name` (whole, as typed) and the working value
// `value`; modified = 1. False, with nothing changed, for a row outside the
// list or when memory runs out.
bool ChangeConstant(ConstantList& list, ConstantsEditing& editing, int row, const char16_t* name, double value);

// Ok: takes the pickers' selections (negative: none, read as 0) into
// workSlots and the field's number into the current row. True when the list
// must be written: modified, or working values or slots differ from the
// stored ones. An empty list is never written.
bool ConstantsNeedSaving(ConstantList& list, const ConstantsEditing& editing, const int (&pickers)[kConstantSlotCount],
                         double fieldValue);

// workSlots into slots, workValues into values, then the constants file
// named by the options is rewritten. True when the file holds the list; the
// list keeps the new values either way.
bool SaveConstants(ConstantList& list, const char16_t* programFolder, const Options& options);

// The dialog's Ok: 1 when the list was saved (whether or not the file could
// be written), 0 when there was nothing to save. Ends the editing.
int FinishConstantsOk(ConstantList& list, const ConstantsEditing& editing, const int (&pickers)[kConstantSlotCount],
                      double fieldValue, const char16_t* programFolder, const Options& options);

// Releases the working values (Отмена, and the end of Ok).
void EndConstantsEditing(ConstantList& list);

// ---- Shared by the constants and currency dialogs -------------------------

// True when a record with this name survives a save and the next load as
// itself: not empty, no "=", not starting with ";", no control character,
// and every unit has a byte of its own in the file's 8-bit text.
bool StorableRecordName(const char16_t* name);

// `format` ("%.6e" or "%f") when `value` printed with it fits `capacity`
// units with the NUL, else "%.6e", which always fits 15.
const char* FittingFormat(double value, const char* format, size_t capacity);

// `value` printed with FittingFormat into `out`. Returns `out`.
char16_t* FormatFieldValue(char16_t* out, size_t capacity, double value, const char* format);

// The bare name of a constants file from a file name found in the program
// folder: cut at its last ".", then kept only when it is 1 to 14 units long
// and is not the currency file's name in any case. False when not offered.
bool OfferedConstantsFile(const char16_t* fileName, char16_t (&bareName)[16]);
