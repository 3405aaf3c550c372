// Settings of the fake TV application: which application it impersonates, which
// windows it shows and how it behaves over time. They come from a .cfg file beside
// the executable (the [fakeapp] section of an INI file) and from the command line
// (--key value or --key=value), the command line winning. The applications are
// the program's own rows (core::Applications).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/Applications.h"

namespace fakeapp {

struct WindowSpec {
    std::string cls;
    std::string title;
};

struct TimedClose {
    DWORD afterMs = 0;
    size_t index = 0;
};

struct Config {
    const core::Application* application = nullptr;  // none: it impersonates nothing
    std::vector<WindowSpec> windows;
    DWORD delayMs = 0;
    DWORD busyStartMs = 0;  // busy at start, before its windows and its first message
    std::optional<DWORD> exitAfterMs;
    std::optional<TimedClose> closeWindowAfter;
    DWORD closeDelayMs = 0;  // a close command ends the program this much later
    std::string logPath;
    bool ignoreClose = false;
    std::optional<std::string> edit;  // each window holds an edit control with this text
    std::string parentClass;          // the windows are children of that class's window
    // A port on 127.0.0.1 that it connects to once its windows are shown,
    // as a WinLIRC client: it says VERSION and logs what it receives.
    std::optional<DWORD> lircPort;
    std::vector<std::string> errors;
};

// The row's short name ("windvr"), or "none".
const char* identityName(const core::Application* application);

// The row whose executable is that file name (compared as Windows compares
// file names), or null.
const core::Application* applicationFromExeName(const std::string& fileName);

// The windows shown when no "window" setting is given: together they answer
// every window identity of the row. In the order in which its identities
// first name them (key target, adopt, running, main, raise, close test): a
// window per class that an identity names, titled so that every title lookup
// of that class finds it (the application's name when none looks at the
// title), and a window per title that an identity names without a class,
// with a class of its own.
std::vector<WindowSpec> defaultWindows(const core::Application& application);

// Builds the settings. exePath is the full path of the running executable; the
// .cfg file (when there is one) and the default log sit beside it with the ".exe"
// replaced.
Config buildConfig(const std::string& exePath, const std::vector<std::string>& args);

// exePath without a trailing ".exe" (any case).
std::string exeStem(const std::string& exePath);

}  // namespace fakeapp
