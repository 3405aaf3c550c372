#include "win32/FailureTrace.h"

void TraceFailure(const char* what, DWORD code) {
    char line[160];
    wsprintfA(line, "%s: %.100s failed (0x%08lX)\n", ProgramName, what, code);
    OutputDebugStringA(line);
}
