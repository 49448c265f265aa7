#include "constants/constants_editing.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/text16.h"
#include "records/list_editing.h"
#include "records/record_file.h"

namespace {

EditedList View(ConstantList& list)
{
    return {list.names, list.values, list.workValues, list.count, list.workSlots, kConstantSlotCount};
}

bool AsciiEqualNoCase(const char16_t* a, const char16_t* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool BeginConstantsEditing(ConstantList& list, ConstantsEditing& editing)
{
    for (int i = 0; i < kConstantSlotCount; ++i) list.workSlots[i] = list.slots[i];
    return BeginListEditing(View(list), editing);
}

void KeepConstantValue(ConstantList& list, const ConstantsEditing& editing, double fieldValue)
{
    KeepWorkValue(View(list), editing, fieldValue);
}

bool MoveToConstant(ConstantList& list, ConstantsEditing& editing, int row, double fieldValue)
{
    return MoveToRow(View(list), editing, row, fieldValue);
}

bool AddConstant(ConstantList& list, ConstantsEditing& editing, const char16_t* name, double value)
{
    return AddEntry(View(list), editing, name, kConstantNameLimit, value);
}

bool DeleteConstant(ConstantList& list, ConstantsEditing& editing, int row)
{
    return DeleteEntry(View(list), editing, row);
}

// A renamed constant keeps its whole name; the next load cuts it.
bool ChangeConstant(ConstantList& list, ConstantsEditing& editing, int row, const char16_t* name, double value)
{
    return ChangeEntry(View(list), editing, row, name, SIZE_MAX, value);
}

bool ConstantsNeedSaving(ConstantList& list, const ConstantsEditing& editing, const int (&pickers)[kConstantSlotCount],
                         double fieldValue)
{
    return ListNeedsSaving(View(list), editing, pickers, list.slots, fieldValue);
}

bool SaveConstants(ConstantList& list, const char16_t* programFolder, const Options& options)
{
    for (int i = 0; i < kConstantSlotCount; ++i) list.slots[i] = list.workSlots[i];
    if (list.workValues != nullptr && list.values != nullptr)
        std::memcpy(list.values, list.workValues, sizeof(double) * list.count);
    char16_t name[kConstantsFileCapacity];
    ConstantsFileName(options, name);
    return SaveRecordFile(programFolder, name, kConstantsKind, list.slots, list.names, list.values, list.count);
}

int FinishConstantsOk(ConstantList& list, const ConstantsEditing& editing, const int (&pickers)[kConstantSlotCount],
                      double fieldValue, const char16_t* programFolder, const Options& options)
{
    int result = 0;
    if (ConstantsNeedSaving(list, editing, pickers, fieldValue)) {
        SaveConstants(list, programFolder, options);  // an unwritable file is not reported
        result = 1;
    }
    EndConstantsEditing(list);
    return result;
}

void EndConstantsEditing(ConstantList& list) { EndListEditing(View(list)); }

bool StorableRecordName(const char16_t* name)
{
    if (name == nullptr || name[0] == 0) return false;
    for (size_t i = 0; name[i] != 0; ++i) {
        const unsigned char byte = EncodeNameUnit(name[i]);
        if (byte < 0x20 || byte == '=' || (i == 0 && byte == ';')) return false;
        if (DecodeNameByte(byte) != name[i]) return false;  // would read back as another letter
    }
    return true;
}

const char* FittingFormat(double value, const char* format, size_t capacity)
{
    const int size = std::snprintf(nullptr, 0, format, value);
    if (size < 0 || static_cast<size_t>(size) >= capacity) return "%.6e";
    return format;
}

char16_t* FormatFieldValue(char16_t* out, size_t capacity, double value, const char* format)
{
    if (capacity == 0) return out;
    char printed[kNumberFieldCapacity];
    const size_t limit = capacity < sizeof printed ? capacity : sizeof printed;
    std::snprintf(printed, sizeof printed, FittingFormat(value, format, limit), value);
    U16FromAscii(out, capacity, printed);
    return out;
}

bool OfferedConstantsFile(const char16_t* fileName, char16_t (&bareName)[16])
{
    bareName[0] = 0;
    if (fileName == nullptr) return false;
    const size_t length = U16Len(fileName);
    // A wildcard may match a short alias of a longer extension: only ".txt".
    if (length < 4 || !AsciiEqualNoCase(fileName + length - 4, u".txt", 4)) return false;
    size_t bare = length;
    for (size_t i = length; i > 0; --i) {
        if (fileName[i - 1] == u'.') {
            bare = i - 1;
            break;
        }
    }
    if (bare == 0 || bare > kConstantNameLimit) return false;
    const char16_t* currency = kCurrencyKind.fileName;
    if (bare == U16Len(currency) && AsciiEqualNoCase(fileName, currency, bare)) return false;
    for (size_t i = 0; i < bare; ++i) bareName[i] = fileName[i];
    bareName[bare] = 0;
    return true;
}
