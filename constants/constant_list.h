// The constant list: the named constants of the current constants file, and
// the six of them that sit on the "Константы" menu as slots "1" to "6".
//
// One list exists for the whole run. It is loaded when the main window is
// created, replaced whole whenever another constants file is chosen, edited
// in place by the constants dialog and released at exit. Recalling a constant
// puts its value into the engine.
#pragma once

#include <cstdint>

#include "engine/engine.h"
#include "settings/options.h"

enum : int {
    kConstantSlotCount = 6,
    kConstantsSubMenu = 1,  // "Константы" is the second sub-menu of "Функции"
    kConstantsFileCapacity = 16,  // a bare file name and its NUL, as in the options
};

struct ConstantList {
    char16_t** names = nullptr;  // `count` owned names, file order, at most 14 units
    double* values = nullptr;    // `count` values, same order
    int count = 0;               // 0: no list
    int slots[kConstantSlotCount] = {};  // 0-based list index of menu slots 1..6
    // The constants dialog's working copies while it is open; released with
    // the list.
    double* workValues = nullptr;
    int workSlots[kConstantSlotCount] = {};
};

// The constants file's bare name: options.constantsFile bounded to its
// field, or "constant" when it is empty.
void ConstantsFileName(const Options& options, char16_t (&name)[kConstantsFileCapacity]);

// Loads the constants file named by options.constantsFile (the default name
// when it is empty) from `programFolder` (ending in the path separator) into
// the list, replacing what it held, then rebuilds the menu of `window`.
// Returns the new count. A missing or unusable file, a header without records
// and lack of memory all give an empty list; the slots change only when the
// new list is not empty. Memory running out halfway keeps the constants read
// before that point.
int LoadConstants(ConstantList& list, const char16_t* programFolder, const Options& options, uintptr_t window);

// Releases names, values and the working copy; the list is empty afterwards.
void ReleaseConstants(ConstantList& list);

// Item 40040 reads "π"; with a list, items 40042..40047 read the names of the
// constants of slots 1..6 (a slot that names no constant reads its number).
// A window whose bar has no "Функции" button is left alone.
void RebuildConstantMenu(const ConstantList& list, uintptr_t window);

// engine.value becomes the constant of slot `slot` (0..5); nothing happens
// for a slot that names no constant of the list.
void RecallConstantSlot(const ConstantList& list, EngineState& engine, int slot);
