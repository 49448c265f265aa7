#include "core/text/file_names.h"

#include <cstddef>

#include "core/text/text16.h"

namespace {

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// `name` up to its first dot (and trailing spaces before it) is `device`.
bool NamesDevice(const char16_t* name, const char16_t* device)
{
    size_t i = 0;
    for (; device[i] != 0; ++i)
        if (Upper(name[i]) != device[i]) return false;
    while (name[i] == u' ') ++i;
    return name[i] == 0 || name[i] == u'.';
}

bool IsDeviceName(const char16_t* name)
{
    static const char16_t* const kDevices[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (const char16_t* device : kDevices)
        if (NamesDevice(name, device)) return true;
    // COM1..COM9 and LPT1..LPT9, also with the superscript digits the system takes for them.
    static const char16_t* const kNumbered[] = {u"COM", u"LPT"};
    static const char16_t kDigits[] = u"123456789\u00B9\u00B2\u00B3";
    for (const char16_t* stem : kNumbered) {
        for (const char16_t* digit = kDigits; *digit != 0; ++digit) {
            const char16_t device[5] = {stem[0], stem[1], stem[2], *digit, 0};
            if (NamesDevice(name, device)) return true;
        }
    }
    return false;
}

}  // namespace

bool IsPlainFileName(const char16_t* name)
{
    if (name == nullptr || name[0] == 0) return false;
    for (size_t i = 0; name[i] != 0; ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || c == 0x7F) return false;
        for (const char16_t* bad = u"\\/:*?\"<>|"; *bad != 0; ++bad)
            if (c == *bad) return false;
    }
    const bool pathStep = name[0] == u'.' && (name[1] == 0 || (name[1] == u'.' && name[2] == 0));
    return !pathStep && !IsDeviceName(name);
}

bool OfferedFileName(const char16_t* fileName, const char16_t* extension, char16_t* bareName, size_t capacity)
{
    bareName[0] = 0;
    if (fileName == nullptr) return false;
    const size_t length = U16Len(fileName), suffix = U16Len(extension);
    // A wildcard may match a short alias of a longer extension: only the
    // extension itself counts, and the name is cut there.
    if (length <= suffix || !AsciiEqualNoCase(fileName + length - suffix, extension, suffix)) return false;
    const size_t bare = length - suffix;
    if (bare > kOfferedNameLimit || bare >= capacity) return false;
    for (size_t i = 0; i < bare; ++i) bareName[i] = fileName[i];
    bareName[bare] = 0;
    if (IsPlainFileName(bareName)) return true;
    bareName[0] = 0;
    return false;
}
