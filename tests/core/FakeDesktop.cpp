#include "FakeDesktop.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sstream>

#include "core/KeyNames.h"

namespace {

// The names that the effects print for numbers: messages, mouse events and
// message box styles; virtual keys print as profiles.ini names them ("M",
// "Num5", "PageUp").
enum class Kind { Message, Key, Mouse, Box };

struct Name {
    Kind kind;
    unsigned value;
    const char* name;
};

#define NAMED(kind, constant) {Kind::kind, constant, #constant}
constexpr Name Names[] = {
    NAMED(Message, WM_KEYDOWN),
    NAMED(Mouse, MOUSEEVENTF_LEFTDOWN), NAMED(Mouse, MOUSEEVENTF_LEFTUP),
    NAMED(Mouse, MOUSEEVENTF_RIGHTDOWN), NAMED(Mouse, MOUSEEVENTF_RIGHTUP),
    NAMED(Box, MB_OK), NAMED(Box, MB_SETFOREGROUND),
};
#undef NAMED

std::string NameOf(Kind kind, unsigned value) {
    if (kind == Kind::Key) {
        const std::string name = core::KeyName(value);
        return name.empty() ? std::to_string(value) : name;
    }
    for (const Name& name : Names)
        if (name.kind == kind && name.value == value) return name.name;
    for (const core::Application& row : core::Applications)
        if (kind == Kind::Message && row.commandMessage != 0 && row.commandMessage == value)
            return std::string(row.shortName) + ".command";
    return std::to_string(value);
}

std::string ChordOf(const uint8_t* keys, size_t count) {
    std::string line = "chord";
    for (size_t i = 0; i < count; ++i) line += (i == 0 ? " " : "+") + NameOf(Kind::Key, keys[i]);
    return line;
}

std::string Message(const char* verb, const std::string& window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) {
    std::ostringstream line;
    line << verb << " " << window << " " << NameOf(Kind::Message, message) << " "
         << (message == WM_KEYDOWN ? NameOf(Kind::Key, static_cast<unsigned>(wParam))
                                   : std::to_string(wParam));
    if (lParam != 0) line << " 0x" << std::hex << lParam;
    return line.str();
}

// FindWindow and FindWindowEx compare a class and a title whole and
// case-insensitively; the program's own walks compare titles byte for byte.
bool Finds(const core::WindowIdentity& identity, const FakeWindow& window) {
    if (identity.windowClass != nullptr && strcasecmp(window.windowClass.c_str(), identity.windowClass) != 0)
        return false;
    if (identity.title == nullptr) return true;
    switch (identity.lookup) {
        case core::Lookup::ExactTitle:
            return window.title == identity.title;
        case core::Lookup::TitlePrefix:
            return window.title.compare(0, std::strlen(identity.title), identity.title) == 0;
        default:
            return strcasecmp(window.title.c_str(), identity.title) == 0;
    }
}

// An application's purposes, in the order in which they name its windows.
struct Purpose {
    PurposeWindow FakeApplication::*window;
    const core::WindowIdentity core::Application::*identity;
    const char* name;
};
const Purpose Purposes[] = {
    {&FakeApplication::keyTarget, &core::Application::keyTarget, "keyTarget"},
    {&FakeApplication::main, &core::Application::main, "main"},
    {&FakeApplication::adopt, &core::Application::adopt, "adopt"},
    {&FakeApplication::running, &core::Application::running, "running"},
    {&FakeApplication::raise, &core::Application::raise, "raise"},
    {&FakeApplication::closeTest, &core::Application::closeTest, "closeTest"},
};
constexpr size_t PurposeCount = std::size(Purposes);

// Each purpose's window is the first window made so far that its identity
// finds, or a new one made for it. The identities with a title make theirs
// first, the longest title first; the others then find those, or make a
// window with the row's name as its title.
FakeApplication Build(const core::Application& row) {
    FakeApplication fake{row, row.shortName, row.commandMessage, {}, {}, {}, {}, {}, {}, {}};
    const auto titleLength = [&](size_t p) {
        const char* title = (row.*Purposes[p].identity).title;
        return title != nullptr ? std::strlen(title) : 0;
    };
    size_t order[PurposeCount] = {0, 1, 2, 3, 4, 5};
    std::stable_sort(std::begin(order), std::end(order),
                     [&](size_t a, size_t b) { return titleLength(a) > titleLength(b); });
    size_t windowOf[PurposeCount] = {};
    for (size_t p : order) {
        const core::WindowIdentity& identity = row.*Purposes[p].identity;
        const auto found = std::find_if(fake.windows.begin(), fake.windows.end(),
                                        [&](const FakeWindow& window) { return Finds(identity, window); });
        windowOf[p] = static_cast<size_t>(found - fake.windows.begin());
        if (found == fake.windows.end())
            fake.windows.push_back({0x1000 * (static_cast<size_t>(row.id) + 1) + 0x10 * windowOf[p], "",
                                    identity.windowClass ? identity.windowClass : "",
                                    identity.title ? identity.title : row.name});
    }
    for (size_t p = 0; p < PurposeCount; ++p) {
        FakeWindow& window = fake.windows[windowOf[p]];
        if (window.name.empty()) window.name = fake.name + "." + Purposes[p].name;
        if (window.windowClass.empty()) window.windowClass = window.name;
        PurposeWindow& purpose = fake.*Purposes[p].window;
        static_cast<FakeWindow&>(purpose) = window;
        purpose.identity = &(row.*Purposes[p].identity);
        purpose.lookup = fake.name + "." + Purposes[p].name;
    }
    return fake;
}

const std::vector<FakeApplication>& FakeApplications() {
    static const std::vector<FakeApplication> all = [] {
        std::vector<FakeApplication> built;
        for (const core::Application& row : core::Applications) built.push_back(Build(row));
        return built;
    }();
    return all;
}

// The lookup's name: the purpose of a row whose identity it is, else what it looks for.
std::string LookupName(const core::WindowIdentity& identity) {
    for (const FakeApplication& application : FakeApplications())
        for (const Purpose& purpose : Purposes) {
            const PurposeWindow& window = application.*purpose.window;
            if (window.identity == &identity) return window.lookup;
        }
    return std::string(identity.windowClass ? identity.windowClass : "") + "|" +
           (identity.title ? identity.title : "");
}

std::string Join(const Effects& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

}  // namespace

const FakeApplication& Fake(core::AppId id) { return FakeApplications()[static_cast<size_t>(id)]; }

int UnknownSelector() {
    int selector = 0;
    for (const core::Application& row : core::Applications) selector = std::max(selector, row.selector + 1);
    return selector;
}

std::string InstallDir(const FakeApplication& application) { return "C:\\TV\\" + application.name; }

void InstallAll(core::PowerSwitch& power) {
    for (const core::Application& row : core::Applications)
        power.InstallLocationFound(row.id, InstallDir(Fake(row.id)).c_str());
}

FakeWindow FakeDesktop::Open(const FakeWindow& window) {
    Window opened{window, true};
    while (std::any_of(windows_.begin(), windows_.end(),
                       [&](const Window& w) { return w.window.ref == opened.window.ref; }))
        opened.window.ref += 0x100000;
    windows_.insert(windows_.begin(), opened);
    return opened.window;
}

FakeWindow FakeDesktop::Open(const std::string& name, const std::string& windowClass,
                             const std::string& title) {
    return Open(FakeWindow{0x100 + 0x10 * windows_.size(), name, windowClass, title});
}

FakeWindow FakeDesktop::Open(const std::string& name, const FakeWindow& like, const std::string& titleEnd) {
    return Open(name, like.windowClass, like.title + titleEnd);
}

void FakeDesktop::Close(const FakeWindow& window) {
    for (Window& w : windows_)
        if (w.window.name == window.name) w.open = false;
}

void FakeDesktop::OpenApplication(const FakeApplication& application) {
    for (const FakeWindow& window : application.windows) Open(window);
}

void FakeDesktop::CloseApplication(const FakeApplication& application) {
    for (const FakeWindow& window : application.windows) Close(window);
}

core::WindowRef FakeDesktop::Named(const FakeWindow& window) const {
    for (const Window& w : windows_)
        if (w.window.name == window.name && w.open) return w.window.ref;
    return 0;
}

FakeWindow FakeDesktop::WindowOf(core::WindowRef window) const {
    for (const Window& w : windows_)
        if (w.window.ref == window) return w.window;
    return {window, std::to_string(window), "", ""};
}

core::WindowRef FakeDesktop::Find(const core::WindowIdentity& identity) {
    if (recordLookups) Did("find " + LookupName(identity));
    for (const Window& w : windows_)  // newest first: the Z order
        if (w.open && Finds(identity, w.window)) return w.window.ref;
    return 0;
}

bool FakeDesktop::Exists(core::WindowRef window) {
    return std::any_of(windows_.begin(), windows_.end(),
                       [window](const Window& w) { return w.window.ref == window && w.open; });
}

void FakeDesktop::Post(core::WindowRef window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    Did(::Post(WindowOf(window), message, wParam, lParam));
}
void FakeDesktop::Send(core::WindowRef window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    Did(::Send(WindowOf(window), message, wParam, lParam));
}
void FakeDesktop::Raise(core::WindowRef window) { Did(::Raise(WindowOf(window))); }
void FakeDesktop::TypeChord(const uint8_t* keys, size_t count) { Did(ChordOf(keys, count)); }
void FakeDesktop::TypeToForeground(const uint8_t* keys, size_t count) {
    Did("type " + ChordOf(keys, count).substr(6));
}
void FakeDesktop::SendAppCommand(core::WindowRef window, unsigned command) {
    Did(AppCommandTo(window, command));
}
void FakeDesktop::ShowKeyAction(const core::KeyDone& done) { Did(Shown(done)); }
void FakeDesktop::MoveBy(int dx, int dy) { Did(::MoveBy(dx, dy)); }
void FakeDesktop::Button(unsigned event, core::Point at) { Did(::Button(event, at)); }
void FakeDesktop::SetCursor(core::Point at) {
    cursor = at;
    Did(::Cursor(at.x, at.y));
}

bool FakeDesktop::Standby() {
    Did("standby");
    return standbySleeps;
}

bool FakeDesktop::OpenReceiver() {
    Did(cardThere ? "open receiver" : "open receiver: not found");
    return cardThere;
}

bool FakeDesktop::Start(const char* commandLine) {
    Did(::Start(commandLine));
    clock += startTakesMs;
    return startSucceeds;
}

void FakeDesktop::ShowMessage(core::Notice notice, unsigned style) {
    Did(Message(notice, style));
    if (inMessageBox) inMessageBox();
}

void FakeDesktop::RunShutdownDialog(core::ShutdownAnswer&) {
    Did("dialog");
    if (inDialog) inDialog();
    Did("dialog ended");
}

void FakeDesktop::TraceFailure(const char* what, uint32_t code) {
    std::ostringstream line;
    line << "trace " << what << " 0x" << std::hex << code;
    Did(line.str());
}

Effect Post(const FakeWindow& window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return Message("post", window.name, message, wParam, lParam);
}

Effect Send(const FakeWindow& window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return Message("send", window.name, message, wParam, lParam);
}

Effect Command(const FakeApplication& application, unsigned command) {
    return Post(application.keyTarget, application.command, command);
}

Effect Raise(const FakeWindow& window) { return "raise " + window.name; }

Effect Chord(std::initializer_list<unsigned> keys) {
    const std::vector<uint8_t> bytes(keys.begin(), keys.end());
    return ChordOf(bytes.data(), bytes.size());
}

Effect Chord(const uint8_t (&keys)[4]) {
    return ChordOf(keys, static_cast<size_t>(std::find(keys, keys + 4, 0) - keys));
}

Effect Typed(std::initializer_list<unsigned> keys) { return "type " + Chord(keys).substr(6); }

Effect AppCommandTo(core::WindowRef window, unsigned command) {
    return "appcommand " + std::to_string(window) + " " + std::to_string(command);
}

Effect Find(const PurposeWindow& purpose) { return "find " + purpose.lookup; }

Effect Cursor(int x, int y) { return "cursor " + std::to_string(x) + "," + std::to_string(y); }

Effect MoveBy(int dx, int dy) { return "move " + std::to_string(dx) + " " + std::to_string(dy); }

Effect Button(unsigned event, core::Point at) {
    return "button " + NameOf(Kind::Mouse, event) + " @" + std::to_string(at.x) + "," + std::to_string(at.y);
}

Effect Start(const std::string& commandLine) { return "start " + commandLine; }

Effect Started(const FakeApplication& application) {
    return Start("\"" + InstallDir(application) + "\\" + application.row.executable + "\"");
}

Effect Message(core::Notice notice, unsigned style) {
    return "message notice " + std::to_string(static_cast<int>(notice)) + " (" + NameOf(Kind::Box, style) + ")";
}

Effect Shown(const core::KeyDone& done) {
    return "show doer " + std::to_string(static_cast<int>(done.who)) + " name " +
           (done.name != nullptr ? done.name : "-") + " label " + (done.label != nullptr ? done.label : "-") +
           " pointer " + std::to_string(static_cast<int>(done.pointer));
}

Effect Shown(const std::string& name, const char* label) {
    return Shown({core::KeyDoer::Named, name.c_str(), label, core::PointerAction::None});
}

Effect Shown(core::KeyDoer who, const char* label) { return Shown({who, nullptr, label, core::PointerAction::None}); }

Effect Shown(core::PointerAction action) { return Shown({core::KeyDoer::Pointer, nullptr, nullptr, action}); }

void ExpectEffects(const Effects& actual, const Effects& expected, const char* file, int line) {
    const auto differs = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const size_t i = static_cast<size_t>(differs.first - actual.begin());
    if (i == actual.size() && i == expected.size()) return;
    ADD_FAILURE_AT(file, line) << "effect " << i << ": expected "
                               << (i < expected.size() ? expected[i] : "(no more)") << ", got "
                               << (i < actual.size() ? actual[i] : "(no more)") << "\nexpected:\n"
                               << Join(expected) << "actual:\n"
                               << Join(actual);
}

Effects Then(std::initializer_list<Effects> parts) {
    Effects all;
    for (const Effects& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
