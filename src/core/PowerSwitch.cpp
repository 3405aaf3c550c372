#include "core/PowerSwitch.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "core/Sdk.h"

namespace core {

namespace {

constexpr int CommandLineSize = 256;

constexpr int IdleTicksBeforeStop = static_cast<int>(IdleWatchWaitMs / WatchIntervalMs);

}  // namespace

void PowerSwitch::InstallLocationFound(AppId id, const char* path) {
    Installation& own = state_.Of(id);
    size_t length = 0;
    for (; length < sizeof own.installPath - 1 && path[length] != '\0'; ++length)
        own.installPath[length] = path[length];
    own.installPath[length] = '\0';
    own.installed = true;
    Of(id).active = false;
}

void PowerSwitch::InstallLocationMissing(AppId id) {
    Installation& own = state_.Of(id);
    own.installPath[0] = '\0';
    own.installed = false;
}

bool PowerSwitch::AnyActive() const {
    return std::any_of(std::begin(applications_), std::end(applications_),
                       [](const ApplicationRun& application) { return application.active; });
}

// A target whose windows have all gone (closed by the user himself) stops
// being the target here, so that the key goes where it would have gone had
// the application never been adopted.
const Application* PowerSwitch::Target(WindowRef& known) {
    for (const Application& application : Applications) {
        ApplicationRun& own = Of(application.id);
        if (!own.active) continue;
        if (StillRuns(application.id, known)) return &application;
        own.active = false;
    }
    return nullptr;
}

// Answered without a search while a window of it seen last still exists. A
// key-target window known to exist (kept, or found here) is given in known.
bool PowerSwitch::StillRuns(AppId id, WindowRef& known) {
    ApplicationRun& own = Of(id);
    known = 0;
    if (own.targetWindow != 0 && windows_.Exists(own.targetWindow)) {
        known = own.targetWindow;
        return true;
    }
    if (own.seenWindow != 0 && windows_.Exists(own.seenWindow)) return true;
    const Application& application = ApplicationOf(id);
    if (const WindowRef target = windows_.Find(application.keyTarget)) {
        own.targetWindow = known = target;
        return true;
    }
    return windows_.Find(application.main) != 0;
}

void PowerSwitch::PowerWithoutTarget() {
    const Application* application = ApplicationFor(state_.settings.defaultSelector);
    if (application == nullptr) return;
    if (!state_.Of(application->id).installed)
        feedback_.ShowMessage(Notice::ReinitializeSettings, MB_SETFOREGROUND);
    // The box runs a modal loop: read the selector again once it is dismissed.
    DefaultPowerAction(state_.settings.defaultSelector);
}

bool PowerSwitch::IsRunning(AppId id) { return windows_.Find(ApplicationOf(id).running) != 0; }

void PowerSwitch::Close(AppId id) {
    const Application& application = ApplicationOf(id);
    const CloseMethod& close = application.close;
    ApplicationRun& own = Of(id);
    const WindowRef window = windows_.Find(application.closeTest);
    if (close.kind == CloseKind::RaiseThenChord) own.targetWindow = window;
    if (window == 0) return;
    switch (close.kind) {
        case CloseKind::RaiseThenChord:
            windows_.Raise(window);
            windows_.TypeChord(close.keys, ChordLength(close.keys));
            break;
        case CloseKind::Chord:
            windows_.TypeChord(close.keys, ChordLength(close.keys));
            break;
        case CloseKind::Command:
            windows_.Post(window, application.commandMessage, close.command, 0);
            break;
    }
    own.active = false;
}

WindowRef PowerSwitch::Launch(AppId id) {
    const Application& application = ApplicationOf(id);
    if (const WindowRef window = windows_.Find(application.main)) return window;
    const Installation& installation = state_.Of(id);
    if (!installation.installed) return 0;

    // The path is quoted: unquoted, a path with spaces would make Windows try
    // every shorter prefix of it ("C:\Program.exe", ...) as the program first.
    char commandLine[CommandLineSize];
    size_t length = 0;
    for (const char* part : {"\"", static_cast<const char*>(installation.installPath), "\\",
                             application.executable, "\""})
        for (; *part != '\0' && length < sizeof commandLine - 1; ++part) commandLine[length++] = *part;
    commandLine[length] = '\0';
    if (windows_.Start(commandLine)) Of(id).active = true;
    else feedback_.ShowMessage(Notice::LaunchFailed, MB_OK);
    return windows_.Find(application.main);
}

WindowRef PowerSwitch::ShowOrLaunch(AppId id) {
    if (!state_.Of(id).installed) return 0;
    WindowRef window = windows_.Find(ApplicationOf(id).raise);
    if (window == 0) window = Launch(id);
    if (window == 0) return 0;
    Of(id).seenWindow = window;
    windows_.Raise(window);
    return window;
}

void PowerSwitch::PowerToggle(AppId id) {
    if (windows_.Find(ApplicationOf(id).keyTarget) != 0) {
        Close(id);
        return;
    }
    ShowOrLaunch(id);
    if (!watchTimerRunning_) idleWatchTicks_ = -1;
    StartWatchTimer();
    ApplicationRun& own = Of(id);
    if (own.active) own.watched = true;
}

void PowerSwitch::DefaultPowerAction(int selector) {
    const Application* application = ApplicationFor(selector);
    if (application == nullptr) return;
    for (AppId other : application->powerCloses) Close(other);
    PowerToggle(application->id);
}

void PowerSwitch::SwitchFromMenu(int selector) {
    const Application* application = ApplicationFor(selector);
    if (application != nullptr) {
        for (AppId other : application->switchCloses) Close(other);
        ShowOrLaunch(application->id);
    }
    state_.settings.defaultSelector = selector;
}

// The exit watch: an application that Power started stops being the target
// once its windows have gone, and the watch's timer stops when nothing is
// watched.

bool PowerSwitch::HasWindow(AppId id) {
    const Application& application = ApplicationOf(id);
    return windows_.Find(application.keyTarget) != 0 || windows_.Find(application.main) != 0;
}

void PowerSwitch::ExitWatchTick() {
    for (AppId id : ExitWatchOrder) {
        ApplicationRun& own = Of(id);
        if (!own.watched) continue;
        // Ends the watch when its windows have gone, by the same test with
        // which the router lets a closed target go.
        idleWatchTicks_ = -1;
        if (HasWindow(id)) return;
        own.active = false;
        StopWatchTimer();
        own.watched = false;
        return;
    }
    if (++idleWatchTicks_ >= IdleTicksBeforeStop) {
        idleWatchTicks_ = -1;
        StopWatchTimer();
    }
}

void PowerSwitch::StartWatchTimer() {
    if (watchTimerRunning_) return;
    watchTimerRunning_ = true;
    machine_.SetWatchTimer(true);
}

void PowerSwitch::StopWatchTimer() {
    if (!watchTimerRunning_) return;
    watchTimerRunning_ = false;
    machine_.SetWatchTimer(false);
}

}  // namespace core
