// Settings of the fake TV application: which application it impersonates, which
// windows it shows and how it behaves over time. They come from a .cfg file beside
// the executable (the [fakeapp] section of an INI file) and from the command line
// (--key value or --key=value), the command line winning.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace fakeapp {

enum class Identity { None, WinDvr, BeyondTv, Quillmarsh };

struct WindowSpec {
    std::string cls;
    std::string title;
};

struct TimedClose {
    DWORD afterMs = 0;
    size_t index = 0;
};

struct Config {
    Identity identity = Identity::None;
    std::vector<WindowSpec> windows;
    DWORD delayMs = 0;
    DWORD busyStartMs = 0;  // busy at start, before its windows and its first message
    std::optional<DWORD> exitAfterMs;
    std::optional<TimedClose> closeWindowAfter;
    DWORD closeDelayMs = 0;  // a close command ends the program this much later
    std::string logPath;
    bool ignoreClose = false;
    std::vector<std::string> errors;
};

const char* identityName(Identity identity);

// Identity implied by an executable's file name ("WinDVR.exe", ...), or None.
Identity identityFromExeName(const std::string& fileName);

// Windows shown when no "window" setting is given.
std::vector<WindowSpec> defaultWindows(Identity identity);

// Builds the settings. exePath is the full path of the running executable; the
// .cfg file (when there is one) and the default log sit beside it with the ".exe"
// replaced.
Config buildConfig(const std::string& exePath, const std::vector<std::string>& args);

// exePath without a trailing ".exe" (any case).
std::string exeStem(const std::string& exePath);

}  // namespace fakeapp
