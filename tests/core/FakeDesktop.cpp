#include "FakeDesktop.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

struct AppWindows {
    const char* name;
    const char* mainClass;
    const char* mainTitle;
    const char* targetClass;
    const char* targetTitle;
};

// As the fake TV application makes them.
const AppWindows FakeWindows[] = {
    {"quillmarsh", "Quillmarsh", "FormMainWindow", "VarnelMainPanel_Class", "Quillmarsh"},
    {"beyondtv", "SnapStream", "FormMainWindow", "Streamzap.WM.D3D", "Beyond TV"},
    {"windvr", "FakeWinDVRPanel", "WinDVR 6", "FakeWinDVRVideo", "InterVideo WinDVR 6"},
};

const AppWindows& WindowsOf(core::AppId id) { return FakeWindows[static_cast<size_t>(id)]; }

// FindWindow and FindWindowEx compare a class and a title whole and
// case-insensitively; the program's own walks compare titles byte for byte.
bool SameIgnoringCase(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

bool TitleMatches(core::Lookup lookup, const std::string& title, const char* wanted) {
    switch (lookup) {
        case core::Lookup::ExactTitle:
            return title == wanted;
        case core::Lookup::TitlePrefix:
            return title.compare(0, std::strlen(wanted), wanted) == 0;
        default:
            return SameIgnoringCase(title, wanted);
    }
}

const char* LookupName(core::Lookup lookup) {
    switch (lookup) {
        case core::Lookup::FindWindow:
            return "window";
        case core::Lookup::DesktopChild:
            return "child";
        case core::Lookup::ExactTitle:
            return "exact";
        default:
            return "prefix";
    }
}

std::string Join(const Effects& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

}  // namespace

core::WindowRef FakeDesktop::Open(const std::string& name, const std::string& windowClass,
                                  const std::string& title) {
    const core::WindowRef ref = 0x100 + 0x10 * windows_.size();
    // A new window comes first in Z order.
    windows_.insert(windows_.begin(), {ref, name, windowClass, title, true});
    return ref;
}

void FakeDesktop::Close(core::WindowRef window) {
    for (Window& w : windows_)
        if (w.ref == window) w.open = false;
}

void FakeDesktop::OpenApplication(core::AppId id) {
    const AppWindows& own = WindowsOf(id);
    Open(std::string(own.name) + ".main", own.mainClass, own.mainTitle);
    Open(std::string(own.name) + ".target", own.targetClass, own.targetTitle);
}

void FakeDesktop::CloseApplication(core::AppId id) {
    Close(Named(std::string(WindowsOf(id).name) + ".main"));
    Close(Named(std::string(WindowsOf(id).name) + ".target"));
}

core::WindowRef FakeDesktop::Named(const std::string& name) const {
    for (const Window& w : windows_)
        if (w.name == name && w.open) return w.ref;
    return 0;
}

std::string FakeDesktop::NameOf(core::WindowRef window) const {
    for (const Window& w : windows_)
        if (w.ref == window) return w.name;
    return std::to_string(window);
}

core::WindowRef FakeDesktop::Find(const core::WindowIdentity& identity) {
    if (recordLookups)
        effects.push_back(std::string("find ") + LookupName(identity.lookup) + " " +
                          (identity.windowClass ? identity.windowClass : "") + "|" +
                          (identity.title ? identity.title : ""));
    // Newest first: the Z order.
    for (const Window& w : windows_) {
        if (!w.open) continue;
        if (identity.windowClass != nullptr && !SameIgnoringCase(w.windowClass, identity.windowClass))
            continue;
        if (identity.title == nullptr || TitleMatches(identity.lookup, w.title, identity.title))
            return w.ref;
    }
    return 0;
}

bool FakeDesktop::Exists(core::WindowRef window) {
    return std::any_of(windows_.begin(), windows_.end(),
                       [window](const Window& w) { return w.ref == window && w.open; });
}

std::string FakeDesktop::Message(const char* verb, core::WindowRef window, unsigned message,
                                 std::uintptr_t wParam, std::intptr_t lParam) const {
    std::ostringstream line;
    line << verb << " " << NameOf(window) << " " << message << " " << wParam << " 0x" << std::hex
         << lParam;
    return line.str();
}

void FakeDesktop::Post(core::WindowRef window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    effects.push_back(Message("post", window, message, wParam, lParam));
}

void FakeDesktop::Send(core::WindowRef window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    effects.push_back(Message("send", window, message, wParam, lParam));
}

void FakeDesktop::Raise(core::WindowRef window) { effects.push_back("raise " + NameOf(window)); }

void FakeDesktop::TypeChord(const uint8_t* keys, size_t count) {
    std::string line = "chord";
    for (size_t i = 0; i < count; ++i) line += (i == 0 ? " " : "+") + std::to_string(keys[i]);
    effects.push_back(line);
}

void FakeDesktop::MoveBy(int dx, int dy) {
    effects.push_back("move " + std::to_string(dx) + " " + std::to_string(dy));
}

void FakeDesktop::Button(unsigned event, core::Point at) {
    effects.push_back("button " + std::to_string(event) + " @" + std::to_string(at.x) + "," +
                      std::to_string(at.y));
}

void FakeDesktop::SetCursor(core::Point at) {
    cursor = at;
    effects.push_back("cursor " + std::to_string(at.x) + "," + std::to_string(at.y));
}

bool FakeDesktop::Start(const char* commandLine) {
    effects.push_back(std::string("start ") + commandLine);
    clock += startTakesMs;
    return startSucceeds;
}

void FakeDesktop::ShowMessage(const char* text, unsigned style) {
    effects.push_back(std::string("message ") + text + " (" + std::to_string(style) + ")");
    if (inMessageBox) inMessageBox();
}

bool FakeDesktop::Standby() {
    effects.push_back("standby");
    return standbySleeps;
}

void FakeDesktop::RunShutdownDialog() {
    effects.push_back("dialog");
    if (inDialog) inDialog();
    effects.push_back("dialog ended");
}

void FakeDesktop::SetWatchTimer(bool running) {
    effects.push_back(running ? "watch on" : "watch off");
}

bool FakeDesktop::OpenReceiver() {
    effects.push_back(cardThere ? "open receiver" : "open receiver: not found");
    return cardThere;
}

void FakeDesktop::CloseReceiver() { effects.push_back("close receiver"); }

void FakeDesktop::SetPolling(bool running) { effects.push_back(running ? "poll on" : "poll off"); }

void FakeDesktop::SetLinkTimer(uint32_t ms) {
    effects.push_back(ms == 0 ? "link timer off" : "link timer " + std::to_string(ms));
}

void FakeDesktop::ShowReceiverMissing(bool missing) {
    effects.push_back(missing ? "tip: no remote receiver" : "tip: as usual");
}

void FakeDesktop::TraceFailure(const char* what, uint32_t code) {
    std::ostringstream line;
    line << "trace " << what << " 0x" << std::hex << code;
    effects.push_back(line.str());
}

void ExpectEffects(const Effects& actual, const Effects& expected) {
    const size_t common = std::min(actual.size(), expected.size());
    size_t i = 0;
    while (i < common && actual[i] == expected[i]) ++i;
    if (i == common && actual.size() == expected.size()) return;
    ADD_FAILURE() << "effect " << i << ": expected "
                  << (i < expected.size() ? expected[i] : "(no more)") << ", got "
                  << (i < actual.size() ? actual[i] : "(no more)") << "\nexpected:\n"
                  << Join(expected) << "actual:\n"
                  << Join(actual);
}
