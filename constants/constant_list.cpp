#include "constants/constant_list.h"

#include <cstdint>

#include "engine/platform_seam.h"
#include "engine/text16.h"
#include "records/record_file.h"
#include "resources/resource.h"

namespace {

constexpr char16_t kPiLabel[] = u"\u03C0";

bool ValidSlot(const ConstantList& list, int slot)
{
    if (slot < 0 || slot >= kConstantSlotCount) return false;
    const int index = list.slots[slot];
    return index >= 0 && index < list.count && list.names != nullptr && list.values != nullptr;
}

}  // namespace

void ConstantsFileName(const Options& options, char16_t (&name)[kConstantsFileCapacity])
{
    size_t n = 0;
    while (n + 1 < kConstantsFileCapacity && options.constantsFile[n] != 0) {
        name[n] = options.constantsFile[n];
        ++n;
    }
    name[n] = 0;
    if (n == 0) U16Copy(name, kConstantsFileCapacity, kConstantsKind.fileName);
}

int LoadConstants(ConstantList& list, const char16_t* programFolder, const Options& options, uintptr_t window)
{
    ReleaseConstants(list);
    char16_t name[kConstantsFileCapacity];
    ConstantsFileName(options, name);

    int header[kRecordMaxHeader] = {};
    // The count is that of the names actually read, should memory run out.
    const int count = LoadRecordList(programFolder, name, kConstantsKind, header, &list.names, &list.values);
    if (count > 0) {
        list.count = count;
        for (int k = 0; k < kConstantSlotCount; ++k) list.slots[k] = header[k];
    }
    RebuildConstantMenu(list, window);
    return list.count;
}

void ReleaseConstants(ConstantList& list)
{
    ReleaseRecordList(&list.names, &list.values, &list.workValues, list.count);
    list.count = 0;
}

void RebuildConstantMenu(const ConstantList& list, uintptr_t window)
{
    if (!SetSoftKeyMenuText(window, IDM_FUNCTIONS_BUTTON, kConstantsSubMenu, IDM_CONSTANT_PI, kPiLabel)) return;
    if (list.count < 1) return;  // the slot items keep what they showed
    for (int i = 0; i < kConstantSlotCount; ++i) {
        // A slot past the list shows its number, as before any file was read,
        // rather than a name it cannot recall.
        const char16_t number[2] = {static_cast<char16_t>(u'1' + i), 0};
        const char16_t* text = ValidSlot(list, i) ? list.names[list.slots[i]] : number;
        if (text == nullptr) text = number;
        SetSoftKeyMenuText(window, IDM_FUNCTIONS_BUTTON, kConstantsSubMenu, IDM_CONSTANT_SLOT1 + i, text);
    }
}

void RecallConstantSlot(const ConstantList& list, EngineState& engine, int slot)
{
    if (ValidSlot(list, slot)) engine.value = list.values[list.slots[slot]];
}
