// The Power key and the tray menu's switches: starting, raising and closing
// the applications.
#include <initializer_list>

#include "core/Remote.h"
#include "core/Sdk.h"

namespace core {

namespace {

constexpr int CommandLineSize = 256;

constexpr char LaunchFailedText[] = "Can't run launch TV application what you want.";
constexpr char ReinitializeText[] = "Please re-initialize the TV application settings.";

}  // namespace

void Remote::PowerWithoutTarget() {
    const Application* application = ApplicationFor(state_.settings.defaultSelector);
    if (application == nullptr) return;
    if (!state_.Of(application->id).installed)
        desktop_.ShowMessage(ReinitializeText, MB_SETFOREGROUND);
    // The box runs a modal loop: read the selector again once it is dismissed.
    DefaultPowerAction(state_.settings.defaultSelector);
}

bool Remote::IsRunning(AppId id) { return desktop_.Find(ApplicationOf(id).running) != 0; }

void Remote::Close(AppId id) {
    const Application& application = ApplicationOf(id);
    const CloseMethod& close = application.close;
    ApplicationState& own = state_.Of(id);
    const WindowRef window = desktop_.Find(application.closeTest);
    if (close.kind == CloseKind::RaiseThenChord) own.targetWindow = window;
    if (window == 0) return;
    switch (close.kind) {
        case CloseKind::RaiseThenChord:
            desktop_.Raise(window);
            desktop_.TypeChord(close.keys, ChordLength(close.keys));
            break;
        case CloseKind::Chord:
            desktop_.TypeChord(close.keys, ChordLength(close.keys));
            break;
        case CloseKind::Command:
            desktop_.Post(window, application.commandMessage, close.command, 0);
            break;
    }
    own.active = false;
}

WindowRef Remote::Launch(AppId id) {
    const Application& application = ApplicationOf(id);
    if (const WindowRef window = desktop_.Find(application.main)) return window;
    ApplicationState& own = state_.Of(id);
    if (!own.installed) return 0;

    // The path is quoted: unquoted, a path with spaces would make Windows try
    // every shorter prefix of it ("C:\Program.exe", ...) as the program first.
    char commandLine[CommandLineSize];
    size_t length = 0;
    for (const char* part : {"\"", static_cast<const char*>(own.installPath), "\\",
                             application.executable, "\""})
        for (; *part != '\0' && length < sizeof commandLine - 1; ++part) commandLine[length++] = *part;
    commandLine[length] = '\0';
    if (desktop_.Start(commandLine)) own.active = true;
    else desktop_.ShowMessage(LaunchFailedText, MB_OK);
    return desktop_.Find(application.main);
}

WindowRef Remote::ShowOrLaunch(AppId id) {
    ApplicationState& own = state_.Of(id);
    if (!own.installed) return 0;
    WindowRef window = desktop_.Find(ApplicationOf(id).raise);
    if (window == 0) window = Launch(id);
    if (window == 0) return 0;
    own.seenWindow = window;
    desktop_.Raise(window);
    return window;
}

void Remote::PowerToggle(AppId id) {
    if (desktop_.Find(ApplicationOf(id).keyTarget) != 0) {
        Close(id);
        return;
    }
    ShowOrLaunch(id);
    if (!state_.watchTimerRunning) state_.idleWatchTicks = -1;
    StartWatchTimer();
    ApplicationState& own = state_.Of(id);
    if (own.active) own.watched = true;
}

void Remote::DefaultPowerAction(int selector) {
    const Application* application = ApplicationFor(selector);
    if (application == nullptr) return;
    for (AppId other : application->powerCloses) Close(other);
    PowerToggle(application->id);
}

void Remote::SwitchFromMenu(int selector) {
    const Application* application = ApplicationFor(selector);
    if (application != nullptr) {
        for (AppId other : application->switchCloses) Close(other);
        ShowOrLaunch(application->id);
    }
    state_.settings.defaultSelector = selector;
}

}  // namespace core
