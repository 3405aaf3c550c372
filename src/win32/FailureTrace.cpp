#include "win32/FailureTrace.h"

void TraceFailure(const char* what, DWORD code) {
    // Long enough for a file's path and a line's reason; wsprintfA writes at
    // most 1024 characters.
    char line[512];
    wsprintfA(line, "%s: %.440s failed (0x%08lX)\n", ProgramName, what, code);
    OutputDebugStringA(line);
}
