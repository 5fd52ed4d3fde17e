#include "support/windows/ImportHook.h"

#include <QtTest>

#include <vector>

#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

namespace {

std::vector<HMODULE> loadedModules()
{
    std::vector<HMODULE> modules(1024);
    DWORD needed = 0;
    EnumProcessModules(GetCurrentProcess(), modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed);
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    return modules;
}

// Puts `to` in every import slot of every loaded module that holds `from`. The slots hold the final
// address whichever DLL a module imports the function through (kernel32, kernelbase, an API set).
int replaceEverywhere(void* from, void* to)
{
    int replaced = 0;
    for (HMODULE module : loadedModules()) {
        auto* base = reinterpret_cast<BYTE*>(module);
        const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        if (dos->e_magic != IMAGE_DOS_SIGNATURE)
            continue;
        const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (directory.VirtualAddress == 0)
            continue;
        for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             import->Name != 0; ++import) {
            for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
                 slot->u1.Function != 0; ++slot) {
                if (reinterpret_cast<void*>(slot->u1.Function) != from)
                    continue;
                DWORD protection = 0;
                VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &protection);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(to);
                VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
                ++replaced;
            }
        }
    }
    return replaced;
}

} // namespace

ImportHook::ImportHook(const char* dll, const char* function, void* replacement) : replacement(replacement)
{
    real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function));
    if (!real || replaceEverywhere(real, replacement) == 0)
        qFatal("ImportHook: no module imports %s from %s", function, dll);
}

ImportHook::~ImportHook()
{
    replaceEverywhere(replacement, real);
}
