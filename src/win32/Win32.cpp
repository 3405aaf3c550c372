#include "win32/Win32.h"

void TraceFailure(const char* what, DWORD code) {
    char line[160];
    wsprintfA(line, "%s: %.100s failed (0x%08lX)\n", MessageCaption, what, code);
    OutputDebugStringA(line);
}

void KeyChord(const BYTE* keys, size_t count) {
    for (size_t i = 0; i < count; ++i) keybd_event(keys[i], 0, KEYEVENTF_EXTENDEDKEY, 0);
    for (size_t i = count; i-- > 0;)
        keybd_event(keys[i], 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}
