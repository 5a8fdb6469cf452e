// An entry point of a library loaded at run time, bound to a typed slot.
#pragma once

#include <windows.h>

// Slot := the entry Name of Module; nil when there is none (or no module).
template <class T>
bool BindProc(HMODULE Module, const char* Name, T& Slot) {
    // Through the generic function type, which the compiler lets any entry become.
    Slot = Module != nullptr
               ? reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(Module, Name)))
               : nullptr;
    return Slot != nullptr;
}
