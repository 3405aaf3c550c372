// What the virtual remote says about a key: its heading and what it does in
// each mode, for the side panel and the buttons' tooltips.
#pragma once

#include "KeyDocs.h"

#include <string>

namespace vremote {

// "Power (code 12)".
std::string KeyHeading(const core::RemoteKeyRow& key);

// "WinDVR 6: key Up", or "...: nothing" when the key does nothing in that mode.
std::string ModeLine(keydocs::Mode mode, int code);

// The heading and the mode lines, one a line ("\r\n" between them).
std::string KeyHelp(const core::RemoteKeyRow& key);

}  // namespace vremote
