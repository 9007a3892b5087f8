// A function of a system DLL that only some commands need. Its DLL is loaded
// at the first call instead of at start-up, which keeps it out of the start
// and out of the memory of a run that never uses it.
#pragma once

#include <windows.h>

namespace platform {

// The function, or nullptr when the DLL or the function is missing. Only the
// system folder is searched: a DLL of that name beside the program is never
// loaded.
template <typename Function>
Function* lazyFunction(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);
    if (!module) module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    // Through a plain function pointer: the cast between unrelated function
    // types is what GetProcAddress requires.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace platform
