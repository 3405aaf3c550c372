// The failure trace: every failure the program detects is written to the
// debugger output with its code, so that a debug viewer (and, under Wine, the
// debug channel) shows why something did not happen.
#pragma once
#include <windows.h>

// "Marlow Remote Control: <what> failed (0x<code>)".
void TraceFailure(const char* what, DWORD code);
