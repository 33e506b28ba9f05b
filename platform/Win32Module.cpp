#include "platform/win32_module.h"

#include "platform/FilePath.h"

#include <dlfcn.h>
#include <string>

namespace {
std::string ProgramFolder()
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    std::string folder(path, length);
    size_t slash = folder.find_last_of('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

// The host file of a library name; empty when it is nowhere to be found.
std::string FindLibrary(const std::string& name)
{
    if (name.find_first_of("\\/") != std::string::npos) return platform::ResolvePath(name);
    std::string onDisk;
    std::string program = ProgramFolder();
    if (!program.empty() && platform::FindEntryNoCase(program, name, &onDisk)) return program + "/" + onDisk;
    if (platform::FindEntryNoCase("", name, &onDisk)) return "./" + onDisk;
    return std::string();
}
}  // namespace

HMODULE LoadLibraryA(LPCSTR name)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string path = FindLibrary(name);
    void* handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return static_cast<HMODULE>(handle);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (!module || !name) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = dlsym(static_cast<void*>(module), name);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module)
{
    if (!module || dlclose(static_cast<void*>(module)) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
