// Every failure the program detects is written to the debugger output with
// its code, "Marlow Remote Control: <what> failed (0x<code>)", so that a
// debug viewer (and, under Wine, the debug channel) shows why something did
// not happen.
#pragma once
#include <windows.h>

#include "res/resource.h"

// The program's name: the caption of every message box it shows, its window
// class and title, and the start of every line of its failure trace.
constexpr char ProgramName[] = PROGRAM_NAME;

void TraceFailure(const char* what, DWORD code);
