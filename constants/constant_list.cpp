#include "constants/constant_list.h"

#include <cstdint>

#include "engine/platform_seam.h"
#include "engine/text16.h"
#include "records/record_file.h"
#include "resources/resource.h"

namespace {

constexpr char16_t kPiLabel[] = u"\u03C0";

// The constants file's bare name: the option, bounded to its field, or the
// default when the option is empty.
void FileName(const Options& options, char16_t (&name)[16])
{
    size_t n = 0;
    while (n + 1 < sizeof name / sizeof name[0] && options.constantsFile[n] != 0) {
        name[n] = options.constantsFile[n];
        ++n;
    }
    name[n] = 0;
    if (n == 0) U16Copy(name, sizeof name / sizeof name[0], kConstantsKind.fileName);
}

template <typename T>
T* AllocateTable(int count)
{
    const size_t size = static_cast<size_t>(count);
    if (size > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(CurrentRecordPlatform().reallocate(nullptr, size * sizeof(T)));
}

bool ValidSlot(const ConstantList& list, int slot)
{
    if (slot < 0 || slot >= kConstantSlotCount) return false;
    const int index = list.slots[slot];
    return index >= 0 && index < list.count && list.names != nullptr && list.values != nullptr;
}

}  // namespace

int LoadConstants(ConstantList& list, const char16_t* programFolder, const Options& options, uintptr_t window)
{
    ReleaseConstants(list);
    char16_t name[16];
    FileName(options, name);

    const int counted = LoadRecordFile(programFolder, name, kConstantsKind, true, nullptr, nullptr, nullptr, 0);
    if (counted > 0) {
        list.names = AllocateTable<char16_t*>(counted);
        list.values = list.names != nullptr ? AllocateTable<double>(counted) : nullptr;
        if (list.values != nullptr) {
            int header[kRecordMaxHeader] = {};
            const int filled =
                LoadRecordFile(programFolder, name, kConstantsKind, false, header, list.names, list.values, counted);
            // The pass stops where a name could not be had, and the file may
            // have shrunk since it was counted: only what was read is kept.
            list.count = filled > 0 ? filled : 0;
            if (list.count > 0)
                for (int k = 0; k < kConstantSlotCount; ++k) list.slots[k] = header[k];
        }
        if (list.count == 0) ReleaseRecordList(&list.names, &list.values, nullptr, 0);
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
