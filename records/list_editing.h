// A named list while a dialog edits it: the constants dialog and the
// currencies dialog work alike on their own records through this view.
//
// The view refers to the owner's fields: names, the stored values, the
// working values the dialog edits, the count, and the working indices (menu
// slots, quick currencies) that point into the list. Every operation keeps
// names, values and working values the same length; an added entry has the
// stored value 0 until Ok saves its working value.
#pragma once

#include <cstddef>

struct EditedList {
    char16_t**& names;
    double*& values;
    double*& workValues;
    int& count;
    int* workIndices;
    int indexCount;
};

struct ListEditing {
    int currentRow = -1;  // row whose value the dialog's field shows; -1: none
    int modified = 0;     // 1 after add, delete, rename or load: Ok writes
};

// Working values a copy of the stored ones, the first row current, nothing
// modified. An empty list (or no memory for the copy) has no current row.
// False when memory ran out. The caller copies its working indices.
bool BeginListEditing(EditedList list, ListEditing& editing);

// Keeps the field's number in the current row, if there is one.
void KeepWorkValue(EditedList list, const ListEditing& editing, double fieldValue);

// The list moved to `row`: the field's number is kept for the row it showed
// and `row` becomes current. False, with nothing changed, for a row outside
// the list or without working values.
bool MoveToRow(EditedList list, ListEditing& editing, int row, double fieldValue);

// Appends `name` cut to `nameLimit` units with the working value `value`;
// modified = 1. False, with nothing changed, when memory runs out.
bool AddEntry(EditedList list, ListEditing& editing, const char16_t* name, size_t nameLimit, double value);

// Removes `row` from all three tables; modified = 1. The first row becomes
// current (-1 when none is left) and working indices at or past the new end
// become 0. False for a row outside the list.
bool DeleteEntry(EditedList list, ListEditing& editing, int row);

// Row `row` gets `name` cut to `nameLimit` units and the working value
// `value`; modified = 1. False, with nothing changed, for a row outside the
// list or when memory runs out.
bool ChangeEntry(EditedList list, ListEditing& editing, int row, const char16_t* name, size_t nameLimit,
                 double value);

// Ok: takes the index lists' selections (negative: none, read as 0) into the
// working indices and the field's number into the current row. True when
// the list must be saved: modified, or working values or indices differ from
// the stored ones. An empty list is never saved.
bool ListNeedsSaving(EditedList list, const ListEditing& editing, const int* selections, const int* storedIndices,
                     double fieldValue);

// Releases the working values (Отмена, and the end of Ok).
void EndListEditing(EditedList list);
