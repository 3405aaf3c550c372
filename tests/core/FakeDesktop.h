// A desktop for the decisions' tests: top-level windows given by class and
// title, looked for as Windows would, and every effect recorded as one line
// of text, compared with expected tables by ExpectEffects.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/Applications.h"
#include "core/Desktop.h"

using Effects = std::vector<std::string>;

class FakeDesktop final : public core::Desktop {
public:
    // Opens a window and names it in the effects by name.
    core::WindowRef Open(const std::string& name, const std::string& windowClass,
                         const std::string& title);
    void Close(core::WindowRef window);
    // The windows of the application as the fake TV application makes them:
    // its main window and its key-target window, named "<app>.main" and
    // "<app>.target" (app: quillmarsh, beyondtv, windvr).
    void OpenApplication(core::AppId id);
    void CloseApplication(core::AppId id);
    core::WindowRef Named(const std::string& name) const;

    // The effects so far, and the lookups among them when recordLookups is set:
    // "find <kind> <class>|<title>", kind one of window (FindWindow), child
    // (FindWindowEx on the desktop), exact and prefix (the title walks).
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
    // Runs while the shutdown dialog is "open".
    std::function<void()> inDialog;
    // Runs while a message box is "open" (a modal loop).
    std::function<void()> inMessageBox;

    core::WindowRef Find(const core::WindowIdentity& identity) override;
    bool Exists(core::WindowRef window) override;
    core::Point Cursor() override { return cursor; }
    bool ButtonsSwapped() override { return swapped; }
    uint32_t Now() override { return clock; }
    void Post(core::WindowRef window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void Send(core::WindowRef window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void Raise(core::WindowRef window) override;
    void TypeChord(const uint8_t* keys, size_t count) override;
    void MoveBy(int dx, int dy) override;
    void Button(unsigned event, core::Point at) override;
    void SetCursor(core::Point at) override;
    bool Start(const char* commandLine) override;
    void ShowMessage(const char* text, unsigned style) override;
    bool Standby() override;
    void RunShutdownDialog() override;
    void SetWatchTimer(bool running) override;
    bool OpenReceiver() override;
    void CloseReceiver() override;
    void SetPolling(bool running) override;
    void SetLinkTimer(uint32_t ms) override;
    void ShowReceiverMissing(bool missing) override;
    void TraceFailure(const char* what, uint32_t code) override;

private:
    struct Window {
        core::WindowRef ref;
        std::string name;
        std::string windowClass;
        std::string title;
        bool open;
    };
    std::string NameOf(core::WindowRef window) const;
    std::string Message(const char* verb, core::WindowRef window, unsigned message,
                        std::uintptr_t wParam, std::intptr_t lParam) const;
    std::vector<Window> windows_;
};

// Fails with the first effect that differs, and both lists.
void ExpectEffects(const Effects& actual, const Effects& expected);

// The first effects, then the second.
inline Effects Then(Effects first, const Effects& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
