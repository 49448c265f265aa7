// The record list: named numbers kept in a record file, with the few of them
// that a menu offers ("picks"). The constant list and the currency table are
// two kinds of it, told apart by a small description; everything else about
// them (loading, saving, editing in a dialog) is the same code.
//
// One list of each kind exists for the whole run. It is loaded when the main
// window is created, replaced whole when it is loaded again, edited in place
// while its dialog is open and released at exit. Whenever the names a menu
// shows may have changed, the list tells its listener (core/seam.h).
#pragma once

#include <cstddef>

#include "core/engine/engine.h"
#include "core/lists/record_file.h"
#include "core/seam.h"
#include "core/settings/options.h"

enum : int {
    kMaxPicks = 6,
    kListNameCapacity = 16,     // a bare file name and its NUL, as in the options
    kConstantSlotCount = 6,     // constants on menu items 1..6
    kQuickCurrencyCount = 3,
    kQuickEntryCount = 6,       // ordered pairs of three different currencies
    kFieldTextLimit = 39,       // characters read back from a dialog's field
};

struct ListKind {
    RecordFileKind file;         // default bare name, picks, name limit, value format
    int leastCount;              // fewer records than this are no list
    bool picksPastListMeanFirst; // a pick past the list is read as the first record
    bool renameKeepsWholeName;   // a renamed record is stored whole; the next load cuts it
};

// Constants: six menu slots, names of 14 bytes, seven significant digits; a
// slot past the list stays empty.
extern const ListKind kConstantsKind;
// Currencies: three quick currencies, names of 6 bytes, six decimals; a file
// with one currency converts into nothing and is no table.
extern const ListKind kCurrencyKind;

struct RecordList {
    const ListKind* kind = nullptr;
    const CoreListener* listener = nullptr;  // told of changed menu texts; null: nobody
    char16_t fileName[kListNameCapacity] = {};  // bare name it was loaded from, saved to
    char16_t** names = nullptr;  // `count` owned names, file order
    double* values = nullptr;    // `count` values, same order
    NameBlock nameBlock;         // where the names of the load lie
    int count = 0;               // 0: no list
    int picks[kMaxPicks] = {};   // 0-based indices of the kind's picks
    // While a dialog edits the list: the values as edited (an added record
    // has the stored value 0 until Ok), the picks as they stood when the
    // dialog opened, the row the value field shows (-1: none), and 1 after
    // add, delete, rename or load, so that Ok writes.
    double* workValues = nullptr;
    int workPicks[kMaxPicks] = {};
    int currentRow = -1;
    int modified = 0;
    // Why the last load could not read the file. While it stands the list may
    // hold less than the file, and is never saved over it.
    RecordFileError loadError;
    // Why the last Ok could not save the list.
    RecordFileError saveError;
    // After ReplaceListRecords: the comment lines the next save writes in
    // place of the file's own (owned, malloc'd; never nullptr after a replace,
    // even for no lines). Released with the editing's end and ReleaseList.
    char* pendingHead = nullptr;
    size_t pendingHeadSize = 0;
};

int PickCount(const RecordList& list);

// An empty list of `kind`, named after the kind's default file, with no
// listener.
void InitList(RecordList& list, const ListKind& kind);

// Replaces the list by the records of folder + fileName + ".txt" (folder ends
// in the path separator). A missing or unusable file, too few records and
// lack of memory give an empty list; the picks change only when the new list
// is not empty. A file that could not be read whole (loadError says why)
// gives an empty list too, never a part of it. Returns the new count.
int LoadList(RecordList& list, const char16_t* folder, const char16_t* fileName);

// Releases names, values, the working values and a pending head; the list is
// empty.
void ReleaseList(RecordList& list);

// ---- Editing in a dialog ------------------------------------------------------

// Working values a copy of the stored ones, working picks of the picks, the
// first row current, nothing modified. An empty list (or no memory for the
// copy) has no current row. False when memory ran out.
bool BeginEditing(RecordList& list);

// Keeps the field's number in the current row, if there is one.
void KeepWorkValue(RecordList& list, double fieldValue);

// The value list moved to `row`: the field's number is kept for the row it
// showed and `row` becomes current. False, with nothing changed, for a row
// outside the list or without working values.
bool MoveToRow(RecordList& list, int row, double fieldValue);

// Appends `name` cut to the kind's name limit, with the working value
// `value`; modified. False, with nothing changed, when memory runs out.
bool AddEntry(RecordList& list, const char16_t* name, double value);

// Removes `row`; modified. The first row becomes current (-1 when none is
// left) and working picks at or past the new end become 0. False for a row
// outside the list.
bool DeleteEntry(RecordList& list, int row);

// Row `row` gets `name` (cut to the name limit unless the kind keeps renamed
// names whole) and the working value `value`; modified. False, with nothing
// changed, for a row outside the list or when memory runs out.
bool ChangeEntry(RecordList& list, int row, const char16_t* name, double value);

// While the dialog is open, the list becomes `count` new records (copies of
// names cut to the kind's name limit, and values) with the picks
// headerIndices (one per pick), as a whole: editing starts again on them as
// BeginEditing starts it, but modified, so that Ok writes them, with `head`
// (headSize bytes of comment lines, as SaveRecordFile takes them; nullptr:
// the file's own) in place of the file's comments. Being the whole new list,
// it is saved even over a file that was not read whole. False, with nothing
// changed, for fewer records than the kind needs, a head SaveRecordFile
// refuses, or when memory runs out.
// Отмена afterwards leaves the file as it was, and the list holding the new
// records: the caller loads the list again (LoadList) to get the old ones.
bool ReplaceListRecords(RecordList& list, char16_t* const* names, const double* values, int count,
                        const int* headerIndices, const char* head, size_t headSize);

// Ok: `selections` (one per pick; negative: none, read as 0) become the
// working picks and the field's number goes into the current row. When the
// list must be saved (modified, or working values or picks differ from the
// stored ones; an empty list never), the file is rewritten with them and they
// become the stored ones. Returns 1 when the list was saved, 0 when nothing
// needed saving; both end the editing. -1 when the file could not be written,
// or was not read whole when the list was loaded: the file is as it was,
// saveError says why, and the editing goes on, so that nothing typed is lost.
// A pending head is written first, and released once the editing ends.
int FinishEditing(RecordList& list, const int* selections, double fieldValue, const char16_t* folder);

// Отмена: ends the editing. Records added, deleted or renamed stay as they
// are, unsaved, and the menu is told. A pending head is dropped.
void CancelEditing(RecordList& list);

// ---- What the menus offer --------------------------------------------------------

// The constants file's bare name: options.constantsFile bounded to its
// field, or "constant" when it is empty.
void ConstantsFileName(const Options& options, char16_t (&name)[kListNameCapacity]);

// A list's menu item texts, in order. A currency table: its quick entries,
// every ordered pair of two quick currencies (quick 1 first, then 2, then 3;
// with two currencies only 1 and 2), "X->Y" with each name cut to 6 units.
// A constant list: its six slots, each its constant's name or its number
// when it names none; an empty list gives none (the items keep their texts).
struct MenuTexts {
    int count;
    char16_t texts[kQuickEntryCount][kFieldTextLimit + 1];
};
static_assert(kConstantSlotCount == kQuickEntryCount, "one text per item of either menu");
void ListMenuTexts(const RecordList& list, MenuTexts& menu);

// engine.value becomes the constant of slot `slot` (0..5); nothing happens
// for a slot that names no constant of the list.
void RecallConstantSlot(const RecordList& list, EngineState& engine, int slot);

// Converts engine.value by quick entry `entry` (0..5); nothing happens for an
// entry that is not shown.
void ConvertQuick(const RecordList& table, EngineState& engine, int entry);

// engine.value = (values[from] / values[to]) * engine.value, in that order. No
// rate is checked: a zero rate gives an infinity or not-a-number. Indices
// outside the table change nothing.
void ConvertCurrency(const RecordList& table, EngineState& engine, int from, int to);

// Writes engine.value into engine.text with "%.2f", whatever the
// representation. A value that is not finite shows "ERROR"; one whose text
// would not fit the display text is formatted as any other result.
void ShowConvertedValue(EngineState& engine);

// ---- Names and values in dialog fields ------------------------------------------

// Why a record with this name would not survive a save and the next load as
// itself, or kNameStorable: not empty, no "=", not starting with ";", no
// control character, and every unit has a byte of its own in the file's
// 8-bit text.
enum RecordNameProblem : int {
    kNameStorable,
    kNameEmpty,
    kNameWithEquals,
    kNameStartingWithComment,
    kNameWithControl,
    kNameOutsideCodePage,
};
// `offending` gets the unit at fault (0 for an empty name).
RecordNameProblem CheckRecordName(const char16_t* name, char16_t& offending);

// `value` printed with `format` ("%.6e" or "%f") into `out`, or with "%.6e"
// when that text would not fit `capacity` units with the NUL (a field is read
// back as its first kFieldTextLimit units: a longer text would come back as
// another number). Returns `out`.
char16_t* FormatFieldValue(char16_t* out, size_t capacity, double value, const char* format);

// The bare name of a constants file from a file name found in the program
// folder: a name the dialogs offer with ".txt" (OfferedFileName) that is not
// the currency file's name in any case. False when not offered.
bool OfferedConstantsFile(const char16_t* fileName, char16_t (&bareName)[kListNameCapacity]);
