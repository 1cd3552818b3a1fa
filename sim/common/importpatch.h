// Shared by the stand-ins injected into a program before its entry point:
// pointing the program's own import entries at replacement functions.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vqsim {

struct Replacement {
    void* real;
    void* sim;
};

// Points every import entry of `module` that holds one of the real
// functions at its replacement.
inline void PatchImports(HMODULE module, const Replacement* replacements, size_t count) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name; ++descriptor) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk); thunk->u1.Function;
             ++thunk) {
            for (size_t i = 0; i < count; ++i) {
                if (reinterpret_cast<void*>(thunk->u1.Function) != replacements[i].real) continue;
                DWORD old = 0;
                if (VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old)) {
                    thunk->u1.Function = reinterpret_cast<ULONG_PTR>(replacements[i].sim);
                    VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
                }
            }
        }
    }
}

}  // namespace vqsim
