// Text at the boundary with Windows: the program keeps every text in UTF-8
// and hands Windows UTF-16 through its W calls, so that a path, a program's
// file name or a user's text outside the active code page comes through
// whole.
#pragma once
#include <windows.h>

#include <string>

// The UTF-8 text in UTF-16. Empty, the failure traced, when the text is not
// UTF-8 or is longer than LongestWideText.
std::wstring ToWide(const char* text);

// The UTF-16 text in UTF-8. Empty, the failure traced, when the text holds
// a lone surrogate or is longer than LongestWideText.
std::string ToUtf8(const wchar_t* text);

// The bytes of a text file in UTF-8: as they are when they are UTF-8
// (ASCII among it), else read in the active code page, as Notepad saves a
// file as "ANSI" on Windows before 10. A last line cut short is not judged.
// A file with a UTF-16 byte order mark, little or big endian (Notepad's
// "Unicode" and "Unicode big endian"), is read as UTF-16.
std::string FileTextInUtf8(const char* bytes, size_t length);

// The longest text converted: the longest path that Windows takes.
constexpr size_t LongestWideText = 32767;
