#include "core/lists/record_list.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "core/text/file_names.h"
#include "core/text/text16.h"

const ListKind kConstantsKind{{u"constant", kConstantSlotCount, 14, "%.6e"}, 1, false, true};
const ListKind kCurrencyKind{{u"currency", kQuickCurrencyCount, 6, kRateFormat}, 2, true, false};

namespace {

constexpr char16_t kError[] = u"ERROR";

// `count` is at least 1.
template <typename T>
T* Resize(T* table, int count)
{
    const size_t size = static_cast<size_t>(count);
    if (size > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(CurrentRecordPlatform().reallocate(table, size * sizeof(T)));
}

bool InList(const RecordList& list, int row) { return row >= 0 && row < list.count; }

// A pick as the list stores it: where the kind says so, one outside the list
// means the first entry.
auto StoredPick(const RecordList& list)
{
    return [&list](int pick) { return !list.kind->picksPastListMeanFirst || InList(list, pick) ? pick : 0; };
}

size_t NameLimit(const RecordList& list) { return list.kind->file.nameLimit; }

// Grows names, values and working values by one entry each; on failure every
// table keeps its old entries (a table that did grow only has unused room).
bool GrowTables(RecordList& list)
{
    const int grown = list.count + 1;
    char16_t** names = Resize(list.names, grown);
    if (names == nullptr) return false;
    list.names = names;
    double* values = Resize(list.values, grown);
    if (values == nullptr) return false;
    list.values = values;
    double* work = list.workValues;
    if (work == nullptr) {
        // The list opened empty (or its copy could not be had): the working
        // values start as the stored ones.
        work = Resize<double>(nullptr, grown);
        if (work != nullptr) std::copy_n(list.values, list.count, work);
    } else {
        work = Resize(work, grown);
    }
    if (work == nullptr) return false;
    list.workValues = work;
    return true;
}

// Removes entry `row` of a table of `count` entries.
template <typename T>
void CloseGap(T* table, int count, int row)
{
    if (table == nullptr) return;
    for (int i = row; i + 1 < count; ++i) table[i] = table[i + 1];
}

void EndEditing(RecordList& list)
{
    std::free(list.workValues);
    list.workValues = nullptr;
}

void ReleasePendingHead(RecordList& list)
{
    std::free(list.pendingHead);
    list.pendingHead = nullptr;
    list.pendingHeadSize = 0;
}

// `count` copies of the names cut to the list's limit, or nullptr (and
// nothing left over) when memory runs out.
char16_t** CopyNames(const RecordList& list, char16_t* const* names, int count)
{
    char16_t** copies = Resize<char16_t*>(nullptr, count);
    if (copies == nullptr) return nullptr;
    for (int i = 0; i < count; ++i) {
        copies[i] = CopyRecordName(names[i], NameLimit(list));
        if (copies[i] != nullptr) continue;
        for (int k = 0; k < i; ++k) std::free(copies[k]);
        std::free(copies);
        return nullptr;
    }
    return copies;
}

// The file is rewritten with the working picks and values; once it holds
// them they become the stored ones. False, with saveError set, when not.
bool SaveList(RecordList& list, const char16_t* folder)
{
    // Saved over a file it was not read from whole, the list would drop the rest.
    if (list.loadError.fault != kRecordNoFault) {
        list.saveError = list.loadError;
        return false;
    }
    int picks[kMaxPicks];
    std::transform(list.workPicks, list.workPicks + PickCount(list), picks, StoredPick(list));
    const double* values = list.workValues != nullptr ? list.workValues : list.values;
    if (!SaveRecordFile(folder, list.fileName, list.kind->file, picks, list.names, values, list.count,
                        &list.saveError, list.pendingHead, list.pendingHeadSize))
        return false;
    std::copy_n(picks, PickCount(list), list.picks);
    if (list.workValues != nullptr) std::memcpy(list.values, list.workValues, sizeof(double) * list.count);
    return true;
}

bool NeedsSaving(const RecordList& list)
{
    if (list.modified) return true;
    if (list.workValues != nullptr && std::memcmp(list.workValues, list.values, sizeof(double) * list.count) != 0)
        return true;
    return std::memcmp(list.workPicks, list.picks, sizeof(int) * PickCount(list)) != 0;
}

bool ValidSlot(const RecordList& list, int slot)
{
    if (slot < 0 || slot >= kConstantSlotCount) return false;
    return InList(list, list.picks[slot]) && list.names != nullptr && list.values != nullptr;
}

bool AlreadyPaired(const int (&pairs)[kQuickEntryCount][2], int count, int from, int to)
{
    for (int s = 0; s < count; ++s)
        if (pairs[s][0] == from && pairs[s][1] == to) return true;
    return false;
}

// The quick entries' pairs (from, to) in the order ListMenuTexts gives; how many, 0..6.
int QuickPairs(const RecordList& table, int (&pairs)[kQuickEntryCount][2])
{
    const int n = table.count < kQuickCurrencyCount ? table.count : kQuickCurrencyCount;
    int count = 0;
    const std::span<const int> picks(table.picks, static_cast<size_t>(n));
    for (const int from : picks) {
        for (const int to : picks) {
            if (to == from || AlreadyPaired(pairs, count, from, to)) continue;
            if (!InList(table, from) || !InList(table, to)) continue;  // a table shrunk under its choices
            pairs[count][0] = from;
            pairs[count][1] = to;
            ++count;
        }
    }
    return count;
}

}  // namespace

int PickCount(const RecordList& list) { return list.kind->file.headerCount; }

void InitList(RecordList& list, const ListKind& kind)
{
    list = RecordList{};
    list.kind = &kind;
    U16Copy(list.fileName, kListNameCapacity, kind.file.fileName);
}

int LoadList(RecordList& list, const char16_t* folder, const char16_t* fileName)
{
    ReleaseList(list);
    U16Copy(list.fileName, kListNameCapacity, fileName);
    int header[kRecordMaxHeader] = {};
    // The count is that of the names actually read, should memory run out.
    const int count = LoadRecordList(folder, list.fileName, list.kind->file, header, &list.names, &list.values,
                                     list.nameBlock, &list.loadError);
    if (count >= list.kind->leastCount) {
        list.count = count;
        std::transform(header, header + PickCount(list), list.picks, StoredPick(list));
    } else {
        ReleaseRecordTables(&list.names, &list.values, list.nameBlock, count);
    }
    TellListTextsChanged(list.listener, list);
    return list.count;
}

void ReleaseList(RecordList& list)
{
    ReleaseRecordTables(&list.names, &list.values, list.nameBlock, list.count);
    EndEditing(list);
    ReleasePendingHead(list);
    list.count = 0;
}

// ---- Editing in a dialog ------------------------------------------------------

bool BeginEditing(RecordList& list)
{
    for (int k = 0; k < PickCount(list); ++k) list.workPicks[k] = list.count > 0 ? list.picks[k] : 0;
    list.currentRow = -1;
    list.modified = 0;
    EndEditing(list);
    if (list.count <= 0 || list.values == nullptr) return true;
    list.workValues = Resize<double>(nullptr, list.count);
    if (list.workValues == nullptr) return false;
    std::memcpy(list.workValues, list.values, sizeof(double) * list.count);
    list.currentRow = 0;
    return true;
}

void KeepWorkValue(RecordList& list, double fieldValue)
{
    if (list.workValues != nullptr && InList(list, list.currentRow)) list.workValues[list.currentRow] = fieldValue;
}

bool MoveToRow(RecordList& list, int row, double fieldValue)
{
    if (!InList(list, row) || list.workValues == nullptr) return false;
    KeepWorkValue(list, fieldValue);
    list.currentRow = row;
    return true;
}

bool AddEntry(RecordList& list, const char16_t* name, double value)
{
    char16_t* copy = CopyRecordName(name, NameLimit(list));
    if (copy == nullptr) return false;
    if (!GrowTables(list)) {
        std::free(copy);
        return false;
    }
    list.names[list.count] = copy;
    list.values[list.count] = 0;
    list.workValues[list.count] = value;
    ++list.count;
    list.modified = 1;
    return true;
}

bool DeleteEntry(RecordList& list, int row)
{
    if (!InList(list, row) || list.names == nullptr) return false;
    list.modified = 1;
    ReleaseRecordName(list.nameBlock, list.names[row]);
    CloseGap(list.names, list.count, row);
    CloseGap(list.values, list.count, row);
    CloseGap(list.workValues, list.count, row);
    --list.count;
    list.currentRow = list.count > 0 ? 0 : -1;
    for (int k = 0; k < PickCount(list); ++k)
        if (list.workPicks[k] >= list.count) list.workPicks[k] = 0;
    return true;
}

bool ChangeEntry(RecordList& list, int row, const char16_t* name, double value)
{
    if (!InList(list, row)) return false;
    char16_t* copy = CopyRecordName(name, list.kind->renameKeepsWholeName ? SIZE_MAX : NameLimit(list));
    if (copy == nullptr) return false;
    list.modified = 1;
    ReleaseRecordName(list.nameBlock, list.names[row]);
    list.names[row] = copy;
    if (list.workValues != nullptr) list.workValues[row] = value;
    return true;
}

bool ReplaceListRecords(RecordList& list, char16_t* const* names, const double* values, int count,
                        const int* headerIndices, const char* head, size_t headSize)
{
    if (count < std::max(list.kind->leastCount, 1)) return false;
    if (head != nullptr && !IsRecordHead(head, headSize)) return false;  // Ok could never write it
    // All that is new is had before anything old goes, so that a failure changes nothing.
    char16_t** copies = CopyNames(list, names, count);
    double* stored = Resize<double>(nullptr, count);
    double* work = Resize<double>(nullptr, count);
    // An empty head is still one: nullptr would keep the file's comments.
    char* headCopy = nullptr;
    if (head != nullptr) headCopy = static_cast<char*>(CurrentRecordPlatform().reallocate(nullptr, headSize + 1));
    if (copies == nullptr || stored == nullptr || work == nullptr || (head != nullptr && headCopy == nullptr)) {
        if (copies != nullptr)
            for (int i = 0; i < count; ++i) std::free(copies[i]);
        std::free(copies);
        std::free(stored);
        std::free(work);
        std::free(headCopy);
        return false;
    }
    ReleaseList(list);
    list.names = copies;
    list.values = stored;
    list.workValues = work;
    std::copy_n(values, count, stored);
    std::copy_n(values, count, work);
    list.count = count;
    std::transform(headerIndices, headerIndices + PickCount(list), list.picks, StoredPick(list));
    std::copy_n(list.picks, PickCount(list), list.workPicks);
    list.currentRow = 0;
    list.modified = 1;
    list.loadError = {};
    if (headCopy != nullptr) std::memcpy(headCopy, head, headSize);
    list.pendingHead = headCopy;
    list.pendingHeadSize = headSize;
    return true;
}

int FinishEditing(RecordList& list, const int* selections, double fieldValue, const char16_t* folder)
{
    int saved = 0;
    list.saveError = {};
    if (list.count > 0) {
        std::transform(selections, selections + PickCount(list), list.workPicks, [](int s) { return std::max(s, 0); });
        KeepWorkValue(list, fieldValue);
        if (NeedsSaving(list)) {
            if (!SaveList(list, folder)) return -1;
            saved = 1;
        }
    }
    EndEditing(list);
    ReleasePendingHead(list);
    if (saved) TellListTextsChanged(list.listener, list);
    return saved;
}

void CancelEditing(RecordList& list)
{
    EndEditing(list);
    ReleasePendingHead(list);
    // Records added, deleted or renamed without a save: the menu must still
    // name what each of its items recalls or converts.
    if (list.modified) TellListTextsChanged(list.listener, list);
}

// ---- What the menus offer --------------------------------------------------------

void ConstantsFileName(const Options& options, char16_t (&name)[kListNameCapacity])
{
    size_t n = 0;
    while (n + 1 < kListNameCapacity && options.constantsFile[n] != 0) {
        name[n] = options.constantsFile[n];
        ++n;
    }
    name[n] = 0;
    if (!IsPlainFileName(name)) U16Copy(name, kListNameCapacity, kConstantsKind.file.fileName);
}

void RecallConstantSlot(const RecordList& list, EngineState& engine, int slot)
{
    if (ValidSlot(list, slot)) engine.value = list.values[list.picks[slot]];
}

void ListMenuTexts(const RecordList& list, MenuTexts& menu)
{
    menu.count = 0;
    if (list.kind == &kCurrencyKind) {
        int pairs[kQuickEntryCount][2];
        menu.count = QuickPairs(list, pairs);
        const size_t limit = list.kind->file.nameLimit + 1;
        for (int i = 0; i < menu.count; ++i) {
            char16_t* label = menu.texts[i];
            size_t n = U16Copy(label, limit, list.names[pairs[i][0]]);
            label[n++] = u'-';
            label[n++] = u'>';
            U16Copy(label + n, limit, list.names[pairs[i][1]]);
        }
        return;
    }
    if (list.count < 1) return;
    for (int slot = 0; slot < kConstantSlotCount; ++slot) {
        // A slot past the list shows its number, as before any file was read,
        // rather than a name it cannot recall.
        const char16_t number[2] = {static_cast<char16_t>(u'1' + slot), 0};
        const char16_t* text = ValidSlot(list, slot) ? list.names[list.picks[slot]] : number;
        U16Copy(menu.texts[slot], kFieldTextLimit + 1, text != nullptr ? text : number);
    }
    menu.count = kConstantSlotCount;
}

void ConvertQuick(const RecordList& table, EngineState& engine, int entry)
{
    int pairs[kQuickEntryCount][2];
    const int count = QuickPairs(table, pairs);
    if (entry < 0 || entry >= count) return;
    ConvertCurrency(table, engine, pairs[entry][0], pairs[entry][1]);
}

void ConvertCurrency(const RecordList& table, EngineState& engine, int from, int to)
{
    if (!InList(table, from) || !InList(table, to) || table.values == nullptr) return;
    const double ratio = table.values[from] / table.values[to];
    engine.value = ratio * engine.value;
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

// ---- Names and values in dialog fields ------------------------------------------

RecordNameProblem CheckRecordName(const char16_t* name, char16_t& offending)
{
    offending = 0;
    if (name == nullptr || name[0] == 0) return kNameEmpty;
    for (size_t i = 0; name[i] != 0; ++i) {
        offending = name[i];
        const unsigned char byte = EncodeNameUnit(name[i]);
        // Checked first: a unit the file cannot hold may stand in as "=" or ";".
        if (DecodeNameByte(byte) != name[i]) return kNameOutsideCodePage;  // would read back as another letter
        if (byte < 0x20) return kNameWithControl;
        if (byte == '=') return kNameWithEquals;
        if (i == 0 && byte == ';') return kNameStartingWithComment;
    }
    offending = 0;
    return kNameStorable;
}

char16_t* FormatFieldValue(char16_t* out, size_t capacity, double value, const char* format)
{
    char printed[100];
    const int size = PrintRecordValue(printed, sizeof printed, format, value);
    if (static_cast<size_t>(size) >= capacity || static_cast<size_t>(size) >= sizeof printed)
        std::snprintf(printed, sizeof printed, "%.6e", value);  // always fits 15
    U16FromAscii(out, capacity, printed);
    return out;
}

bool OfferedConstantsFile(const char16_t* fileName, char16_t (&bareName)[kListNameCapacity])
{
    // The currency file lies beside the constants files but is none.
    const char16_t* currency = kCurrencyKind.file.fileName;
    if (!OfferedFileName(fileName, u".txt", bareName, kListNameCapacity)) return false;
    if (U16Len(bareName) != U16Len(currency) || !AsciiEqualNoCase(bareName, currency, U16Len(currency))) return true;
    bareName[0] = 0;
    return false;
}
