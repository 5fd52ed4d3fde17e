#pragma once

// While this lives, every call any loaded module makes to one Windows function through its import table
// goes to `replacement` instead. Qt, SQLite and libzip each call the system through their own import
// tables, so one replacement reaches them all.
class ImportHook
{
public:
    // `dll` and `function` name the function, e.g. "kernel32.dll" and "WriteFile".
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // The function itself, for the replacement to pass calls on to.
    void* original() const { return real; }

private:
    void* real = nullptr;
    void* replacement;
};
