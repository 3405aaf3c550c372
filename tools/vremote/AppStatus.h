// Which TV applications have a window open, as the status area shows it.
#pragma once

#include <functional>
#include <string>

namespace vremote {

// Whether a top-level window with this class (or, when null, any class) and
// this title (or, when null, any title) exists.
using WindowExists = std::function<bool(const wchar_t* windowClass, const wchar_t* title)>;

// "Quillmarsh, Beyond TV, WinDVR 6" for those open, in that order, or
// "none (pointer mode)".
std::string OpenApplications(const WindowExists& exists);

// WindowExists over the desktop's real top-level windows.
bool TopLevelWindowExists(const wchar_t* windowClass, const wchar_t* title);

}  // namespace vremote
