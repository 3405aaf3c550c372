// Walks over the top-level windows by title, the way every title lookup of
// the program does it.
#pragma once
#include <windows.h>

// Titles are read into a buffer of this size: at most 127 characters.
constexpr int TitleReadBufferSize = 128;

// The first top-level window in Z order, visible or not, whose title begins
// with prefix (case-sensitive); NULL when there is none.
HWND FindWindowByTitlePrefix(const char* prefix);

// The first top-level window whose title is exactly title (case-sensitive).
HWND FindWindowByExactTitle(const char* title);

// The first top-level window of the class whose title begins with prefix.
HWND FindWindowOfClassByTitlePrefix(const char* windowClass, const char* prefix);

// Top-level window lookups with FindWindowExA on the desktop window.
HWND FindTopLevelByClass(const char* windowClass);
HWND FindTopLevelByTitle(const char* title);
