// The words of what the decisions tell the user as codes and values, from
// the STRINGTABLE: the message boxes' notices and the key display's "who: what".
#pragma once
#include <windows.h>

#include <string>

#include "core/Feedback.h"

// The string resource of the notice's text.
UINT NoticeTextId(core::Notice notice);
// The string resource of the pointer action's name; 0 for None.
UINT PointerActionTextId(core::PointerAction action);
// "VLC: Play", "Media: Vol+", "Pointer: left click".
std::string KeyDoneText(const core::KeyDone& done);
