#include "win32/Win32.h"

void TraceFailure(const char* what, DWORD code) {
    char line[160];
    wsprintfA(line, "%s: %.100s failed (0x%08lX)\n", MessageCaption, what, code);
    OutputDebugStringA(line);
}
