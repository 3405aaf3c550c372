// The program's words: the texts of its STRINGTABLE (res/MarlowRemote.rc,
// numbered in res/resource.h), read from the program's own module, and its
// formats filled with wsprintf. The words are ASCII, the same in UTF-8 and
// in every code page.
#pragma once
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "win32/SystemCalls.h"

// wsprintf writes at most this many bytes.
constexpr int FormattedTextSize = 1024;

// The text of the string resource; "" when there is none, the failure traced.
std::string LoadText(UINT id);

// The format of the string resource filled with the values (texts and
// numbers, as wsprintf takes them).
template <typename... Values>
std::string FormatText(UINT id, Values... values) {
    char text[FormattedTextSize];
    wsprintfA(text, LoadText(id).c_str(), values...);
    return text;
}

// A message box of the string resource's text, under the program's caption.
int ShowTextBox(const SystemCalls& system, HWND owner, UINT textId, UINT style);
