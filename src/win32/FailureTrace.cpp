#include "win32/FailureTrace.h"

namespace {

// Of the text, at most this many UTF-16 units are written, a surrogate pair
// never split: long enough for a file's path and a line's reason.
constexpr int LongestWhat = 440;
// As many bytes of UTF-8 surely hold that many units.
constexpr int WhatBytes = 4 * LongestWhat;
constexpr int LineUnits = LongestWhat + 64;

}  // namespace

// Made on the stack alone: it also reports an allocation that failed.
void TraceFailure(const char* what, DWORD code) {
    // The text is UTF-8; a byte that is not reads as U+FFFD.
    int length = 0;
    while (length < WhatBytes && what[length] != '\0') ++length;
    wchar_t wideWhat[WhatBytes + 1];
    int units = MultiByteToWideChar(CP_UTF8, 0, what, length, wideWhat, WhatBytes);
    if (units > LongestWhat)
        units = IS_HIGH_SURROGATE(wideWhat[LongestWhat - 1]) ? LongestWhat - 1 : LongestWhat;
    wideWhat[units > 0 ? units : 0] = L'\0';
    wchar_t wideLine[LineUnits];
    wsprintfW(wideLine, L"%s: %s failed (0x%08lX)\n", L"" PROGRAM_NAME, wideWhat, code);
    // The trace is read in the active code page: a character that it lacks
    // reads as '?', never as a look-alike. A UTF-8 code page takes neither.
    const bool utf8 = GetACP() == CP_UTF8;
    char line[3 * LineUnits];
    if (WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wideLine, -1, line,
                            sizeof line, utf8 ? nullptr : "?", nullptr) > 0)
        OutputDebugStringA(line);
}
