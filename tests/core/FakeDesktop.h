// A desktop for the decisions' tests: top-level windows given by class and
// title, looked for as Windows would, and every effect recorded as one line
// that names what it touches (windows, messages, virtual keys), compared by
// ExpectEffects with sequences written with the same names:
//   ExpectEffects(Press(K::Mute), {Find(BeyondTv.keyTarget), Post(BeyondTv.keyTarget, WM_KEYDOWN, 'M')});
// The TV applications come from their rows: Quillmarsh, BeyondTv and WinDvr
// give each purpose of a row (keyTarget, main, adopt, running, raise,
// closeTest) a window with a fake handle, one window serving every purpose
// that finds it, named after the first of them in that order ("beyondtv.main").
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Applications.h"
#include "core/Feedback.h"
#include "core/Machine.h"
#include "core/ProfileSource.h"
#include "core/Remote.h"
#include "core/Sdk.h"
#include "core/Windows.h"

using Effect = std::string;
using Effects = std::vector<Effect>;

struct FakeWindow {
    core::WindowRef ref = 0;
    std::string name;
    std::string windowClass;
    std::string title;
};

// The window that serves a purpose, and the purpose's own lookup, which the
// effects name "<shortName>.<purpose>".
struct PurposeWindow : FakeWindow {
    const core::WindowIdentity* identity = nullptr;
    std::string lookup;
};

struct FakeApplication {
    const core::Application& row;
    std::string name;  // the row's shortName
    unsigned command;  // the row's command message
    PurposeWindow keyTarget, main, adopt, running, raise, closeTest;
    std::vector<FakeWindow> windows;  // each once
};

const FakeApplication& Fake(core::AppId id);
inline const FakeApplication& Quillmarsh = Fake(core::AppId::Quillmarsh);
inline const FakeApplication& BeyondTv = Fake(core::AppId::BeyondTv);
inline const FakeApplication& WinDvr = Fake(core::AppId::WinDvr);

// A selector that names no application.
int UnknownSelector();
// Where the tests install an application ("C:\TV\<shortName>"), every
// application installed there, and its start from there.
std::string InstallDir(const FakeApplication& application);
void InstallAll(core::PowerSwitch& power);

// Every port in one object; a test of one class hands it only the ports
// that class takes.
class FakeDesktop final : public core::Windows,
                          public core::Machine,
                          public core::Feedback,
                          public core::ProfileSource {
public:
    // Opens a window, newest first in Z order; one opened again gets a handle
    // of its own. Returns the window opened.
    FakeWindow Open(const FakeWindow& window);
    FakeWindow Open(const std::string& name, const std::string& windowClass, const std::string& title);
    // Another window of the same class and title, its title followed by titleEnd.
    FakeWindow Open(const std::string& name, const FakeWindow& like, const std::string& titleEnd = "");
    // Closes the open windows of that name.
    void Close(const FakeWindow& window);
    void OpenApplication(const FakeApplication& application);
    void CloseApplication(const FakeApplication& application);
    // The open window of that name, or 0.
    core::WindowRef Named(const FakeWindow& window) const;

    // The effects so far, and the lookups among them when recordLookups is set.
    Effects effects;
    bool recordLookups = false;
    core::Point cursor = {500, 400};
    bool swapped = false;
    bool startSucceeds = true;
    // The tick counter, in milliseconds; a start takes startTakesMs of it, as
    // WinExec waits until the new application is ready for input.
    uint32_t clock = 1000;
    uint32_t startTakesMs = 0;
    // Whether standby put the machine to sleep (and it woke); whether the
    // card is there to be found.
    bool standbySleeps = false;
    bool cardThere = true;
    // Run while the shutdown dialog, or a message box, is "open" (a modal loop).
    std::function<void()> inDialog;
    std::function<void()> inMessageBox;

    // The effects of one action.
    Effects Of(const std::function<void()>& action) {
        effects.clear();
        action();
        return effects;
    }

    // The window in front and the profiles that the user's file holds.
    core::Foreground foreground;
    core::List<core::Profile> profiles{nullptr, 0};
    int foregroundLookups = 0;

    core::WindowRef Find(const core::WindowIdentity& identity) override;
    core::Foreground ForegroundWindow() override {
        ++foregroundLookups;
        return foreground;
    }
    core::List<core::Profile> Profiles() override { return profiles; }
    void TypeToForeground(const uint8_t* keys, size_t count) override;
    void SendAppCommand(core::WindowRef window, unsigned command) override;
    void ShowKeyAction(const core::KeyDone& done) override;
    bool Exists(core::WindowRef window) override;
    core::Point Cursor() override { return cursor; }
    bool ButtonsSwapped() override { return swapped; }
    uint32_t Now() override { return clock; }
    void Post(core::WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Send(core::WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Raise(core::WindowRef window) override;
    void TypeChord(const uint8_t* keys, size_t count) override;
    void MoveBy(int dx, int dy) override;
    void Button(unsigned event, core::Point at) override;
    void SetCursor(core::Point at) override;
    bool Start(const char* commandLine) override;
    void ShowMessage(core::Notice notice, unsigned style) override;
    bool Standby() override;
    void RunShutdownDialog(core::ShutdownAnswer& answer) override;
    void SetWatchTimer(bool running) override { Did(running ? "watch on" : "watch off"); }
    bool OpenReceiver() override;
    void CloseReceiver() override { Did("close receiver"); }
    void SetPolling(bool running) override { Did(running ? "poll on" : "poll off"); }
    void SetLinkTimer(uint32_t ms) override {
        Did(ms == 0 ? "link timer off" : "link timer " + std::to_string(ms));
    }
    void ShowReceiverMissing(bool missing) override {
        Did(missing ? "tip: no remote receiver" : "tip: as usual");
    }
    void TraceFailure(const char* what, uint32_t code) override;

private:
    struct Window {
        FakeWindow window;
        bool open;
    };
    void Did(const Effect& effect) { effects.push_back(effect); }
    FakeWindow WindowOf(core::WindowRef window) const;
    std::vector<Window> windows_;
};

// The remote's decisions on a fake desktop, wired as the program wires them.
struct RemoteOnDesktop {
    FakeDesktop desktop;
    core::State state;
    core::Remote remote{state, desktop, desktop, desktop, desktop};
    // Its parts, by name.
    core::Pointer& pointer = remote.pointer;
    core::ReceiverLink& link = remote.link;
    core::ShutdownAnswer& shutdown = remote.shutdown;
    core::PowerSwitch& power = remote.power;
    core::KeyActions& keys = remote.keys;
    core::Router& router = remote.router;

    // The effects of a first press routed, and of a tick of the exit watch.
    Effects Press(RemoteKey key) {
        return desktop.Of([&] { router.Route(Code(key), false); });
    }
    Effects Tick() {
        return desktop.Of([&] { power.ExitWatchTick(); });
    }
};

// The effects, as the fake desktop records them.
Effect Post(const FakeWindow& window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam = 0);
Effect Send(const FakeWindow& window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam = 0);
// The application's command message to its key-target window.
Effect Command(const FakeApplication& application, unsigned command);
Effect Raise(const FakeWindow& window);
Effect Chord(std::initializer_list<unsigned> keys);
Effect Chord(const uint8_t (&keys)[4]);  // 0-terminated when fewer than four
// Keys typed to the window in front, and an app command to a window.
Effect Typed(std::initializer_list<unsigned> keys);
Effect AppCommandTo(core::WindowRef window, unsigned command);
Effect Find(const PurposeWindow& purpose);
Effect Cursor(int x, int y);
Effect MoveBy(int dx, int dy);
Effect Button(unsigned event, core::Point at);
Effect Start(const std::string& commandLine);
Effect Started(const FakeApplication& application);  // from InstallDir
Effect Message(core::Notice notice, unsigned style);
// The key display told what a key did: by an application or a profile of
// that name, by the media keys, or by the pointer.
Effect Shown(const core::KeyDone& done);
Effect Shown(const std::string& name, const char* label);
Effect Shown(core::KeyDoer who, const char* label);
Effect Shown(core::PointerAction action);

// Fails at the caller's line with the first effect that differs, and both lists.
void ExpectEffects(const Effects& actual, const Effects& expected, const char* file = __builtin_FILE(),
                   int line = __builtin_LINE());

// The effects one after the other.
Effects Then(std::initializer_list<Effects> parts);
