// The words of what the decisions tell the user as codes and values: the
// message boxes' notices, the key display's "who: what" and the Settings
// dialog's line about profiles.ini, each from the STRINGTABLE.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "core/Feedback.h"
#include "core/Profiles.h"

// The string resource of the notice's text.
UINT NoticeTextId(core::Notice notice);
// The string resource of the pointer action's name; 0 for None.
UINT PointerActionTextId(core::PointerAction action);
// "VLC: Play", "Media: Vol+", "Pointer: left click".
std::string KeyDoneText(const core::KeyDone& done);
// "profiles.ini: 5 profiles", "profiles.ini: 2 lines skipped (see line 14)";
// without a summary, that the file cannot be read.
std::string ProfileStatusText(const std::optional<core::ProfileFileSummary>& summary);
// "No program is connected", "2 programs are connected"; not listening, that
// no program receives the keys.
std::string ServerStatusText(bool listening, size_t connected);
