// Which TV applications have a window open, as the status area shows it.
#pragma once

#include <functional>
#include <string>

#include "core/Windows.h"

namespace vremote {

// Whether a top-level window with that identity exists.
using WindowExists = std::function<bool(const core::WindowIdentity& identity)>;

// The names of the applications whose window that a key adopts is open, in
// the order of their rows ("Quillmarsh, Beyond TV, WinDVR 6"), or "none
// (pointer mode)".
std::string OpenApplications(const WindowExists& exists);

// WindowExists over the desktop's real top-level windows, looked for as the
// identity's lookup says.
bool TopLevelWindowExists(const core::WindowIdentity& identity);

}  // namespace vremote
