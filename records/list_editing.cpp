#include "records/list_editing.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "records/record_file.h"

namespace {

template <typename T>
T* Resize(T* table, int count)
{
    size_t size = static_cast<size_t>(count > 0 ? count : 1);
    if (size > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(CurrentRecordPlatform().reallocate(table, size * sizeof(T)));
}

bool InList(const EditedList& list, int row) { return row >= 0 && row < list.count; }

// Grows names, values and working values by one entry each; on failure every
// table keeps its old entries (a table that did grow only has unused room).
bool GrowTables(EditedList& list)
{
    if (list.count == INT32_MAX) return false;
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
        if (work != nullptr && list.count > 0) std::memcpy(work, list.values, sizeof(double) * list.count);
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

}  // namespace

bool BeginListEditing(EditedList list, ListEditing& editing)
{
    editing = ListEditing{};
    std::free(list.workValues);
    list.workValues = nullptr;
    if (list.count <= 0 || list.values == nullptr) return true;
    list.workValues = Resize<double>(nullptr, list.count);
    if (list.workValues == nullptr) return false;
    std::memcpy(list.workValues, list.values, sizeof(double) * list.count);
    editing.currentRow = 0;
    return true;
}

void KeepWorkValue(EditedList list, const ListEditing& editing, double fieldValue)
{
    if (list.workValues != nullptr && InList(list, editing.currentRow)) list.workValues[editing.currentRow] = fieldValue;
}

bool MoveToRow(EditedList list, ListEditing& editing, int row, double fieldValue)
{
    if (!InList(list, row) || list.workValues == nullptr) return false;
    KeepWorkValue(list, editing, fieldValue);
    editing.currentRow = row;
    return true;
}

bool AddEntry(EditedList list, ListEditing& editing, const char16_t* name, size_t nameLimit, double value)
{
    if (name == nullptr) return false;
    char16_t* copy = CopyRecordName(name, nameLimit);
    if (copy == nullptr) return false;
    if (!GrowTables(list)) {
        std::free(copy);
        return false;
    }
    list.names[list.count] = copy;
    list.values[list.count] = 0;
    list.workValues[list.count] = value;
    ++list.count;
    editing.modified = 1;
    return true;
}

bool DeleteEntry(EditedList list, ListEditing& editing, int row)
{
    if (!InList(list, row) || list.names == nullptr) return false;
    editing.modified = 1;
    std::free(list.names[row]);
    CloseGap(list.names, list.count, row);
    CloseGap(list.values, list.count, row);
    CloseGap(list.workValues, list.count, row);
    --list.count;
    editing.currentRow = list.count > 0 && list.workValues != nullptr ? 0 : -1;
    for (int i = 0; i < list.indexCount; ++i)
        if (list.workIndices[i] >= list.count) list.workIndices[i] = 0;
    return true;
}

bool ChangeEntry(EditedList list, ListEditing& editing, int row, const char16_t* name, size_t nameLimit,
                 double value)
{
    if (!InList(list, row) || list.names == nullptr || name == nullptr) return false;
    char16_t* copy = CopyRecordName(name, nameLimit);
    if (copy == nullptr) return false;
    editing.modified = 1;
    std::free(list.names[row]);
    list.names[row] = copy;
    if (list.workValues != nullptr) list.workValues[row] = value;
    return true;
}

bool ListNeedsSaving(EditedList list, const ListEditing& editing, const int* selections, const int* storedIndices,
                     double fieldValue)
{
    if (list.count <= 0) return false;
    for (int i = 0; i < list.indexCount; ++i) list.workIndices[i] = selections[i] >= 0 ? selections[i] : 0;
    KeepWorkValue(list, editing, fieldValue);
    if (editing.modified) return true;
    if (list.workValues != nullptr && list.values != nullptr &&
        std::memcmp(list.workValues, list.values, sizeof(double) * list.count) != 0)
        return true;
    return std::memcmp(list.workIndices, storedIndices, sizeof(int) * list.indexCount) != 0;
}

void EndListEditing(EditedList list)
{
    std::free(list.workValues);
    list.workValues = nullptr;
}
