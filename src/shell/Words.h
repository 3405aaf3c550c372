// The words of what the decisions tell the user as codes and values, from
// the STRINGTABLE: the message boxes' notices.
#pragma once
#include <windows.h>

#include "core/Feedback.h"

// The string resource of the notice's text.
UINT NoticeTextId(core::Notice notice);
