#include "apps/InstallInfo.h"

#include <windows.h>

#include "win32/FailureTrace.h"
#include "win32/Scoped.h"

bool ReadInstallLocation(const core::Application& application, char (&path)[core::InstallPathSize]) {
    path[0] = '\0';
    constexpr DWORD PathSize = sizeof path;
    DWORD size = PathSize;
    LONG result;
    {
        ScopedRegKey key;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, application.installKey, key.Put()) != ERROR_SUCCESS)
            return false;
        result = RegQueryValueExA(key.Get(), application.installValue, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(path), &size);
    }
    // The data is taken as stored, whatever its type. A path that fills the
    // whole buffer has no room for its terminator: it is too long to use.
    const bool terminated = size < PathSize || path[PathSize - 1] == '\0';
    if (result != ERROR_SUCCESS || !terminated) {
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            TraceFailure("reading an install location", static_cast<DWORD>(result));
        path[0] = '\0';
        return false;
    }
    path[size < PathSize ? size : PathSize - 1] = '\0';
    return true;
}
