// A function of a system library, found when it is first needed: the library
// is loaded then (start-up does not pay for it), and a function an older
// system lacks is simply not there.
#pragma once

#include <windows.h>

// The function `name` of `library`, or nullptr when either is missing.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name)
{
    HMODULE module = LoadLibraryW(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
