#include "core/Remote.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "core/Pointer.h"
#include "core/ReceiverLink.h"
#include "core/Sdk.h"

namespace core {

namespace {

constexpr int PowerKey = Code(RemoteKey::Power);
constexpr int StandbyKey = Code(RemoteKey::Standby);
constexpr int ShutdownOrStandbyKey = Code(RemoteKey::Off);
constexpr int ShutdownKey = Code(RemoteKey::VolumeDown);
constexpr int VolumeUpKey = Code(RemoteKey::VolumeUp);

constexpr int IdleTicksBeforeStop = static_cast<int>(IdleWatchWaitMs / WatchIntervalMs);
constexpr int CommandLineSize = 256;
constexpr unsigned QuillmarshCloseCommand = 1;

constexpr char LaunchFailedText[] = "Can't run launch TV application what you want.";
constexpr char ReinitializeText[] = "Please re-initialize the TV application settings.";

bool SameText(const char* a, const char* b) {
    return a == b || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
}

bool SameLookup(const WindowIdentity& a, const WindowIdentity& b) {
    return a.lookup == b.lookup && SameText(a.windowClass, b.windowClass) && SameText(a.title, b.title);
}

bool AnyActive(const State& state) {
    return std::any_of(std::begin(state.applications), std::end(state.applications),
                       [](const ApplicationState& application) { return application.active; });
}

}  // namespace

bool IsOneShotKey(int code) {
    return code == PowerKey || code == StandbyKey || code == ShutdownOrStandbyKey ||
           code == ShutdownKey;
}

void Polled(State& state, uint32_t now) {
    RepeatState& repeat = state.repeat;
    repeat.previousPollTime = repeat.lastPollTime;
    repeat.lastPollTime = now;
    if (repeat.polls < 2) ++repeat.polls;
}

bool UpdateRepeatState(State& state, int code, uint32_t now) {
    RepeatState& repeat = state.repeat;
    // Unsigned arithmetic throughout: the tick counter's wrap does no harm.
    uint32_t gap = now - repeat.lastKeyTime;
    const uint32_t sinceTickBefore = repeat.lastPollTime - repeat.previousPollTime;
    if (repeat.polls == 2 && sinceTickBefore > LateTickMs && sinceTickBefore <= UnseenAtMostMs) {
        const uint32_t readInTime = repeat.previousPollTime + PollIntervalMs - repeat.lastKeyTime;
        if (readInTime < gap) gap = readInTime;
    }
    const bool isRepeat = code == repeat.lastKeyCode && gap < RepeatWindowMs;
    if (isRepeat) {
        ++repeat.repeatCount;
    } else {
        repeat.repeatCount = 0;
        state.pointer.stepCounter = 0;
    }
    repeat.lastKeyTime = now;
    repeat.lastKeyCode = code;
    return isRepeat;
}

void ActedOnRead(State& state, uint32_t now) {
    RepeatState& repeat = state.repeat;
    repeat.lastKeyTime = now;
    // The program looks again from now: the action is no late tick.
    repeat.lastPollTime = now;
}

int SuppressRepeat(const State& state, bool repeat, int code, bool volumeDownIsMedia) {
    if (!repeat) return code;
    if (state.shutdownDialogOpen) return SuppressedKey;
    const bool targetActive = AnyActive(state);
    if (code == ShutdownKey && volumeDownIsMedia && !targetActive) return code;
    if (IsOneShotKey(code)) return SuppressedKey;
    if (state.repeat.repeatCount % RepeatsPerDelivery != 0 && targetActive) return SuppressedKey;
    if (state.settings.mediaKeys && !targetActive && code != VolumeUpKey &&
        MediaKeys.Find(code) != nullptr)
        return SuppressedKey;
    return code;
}

DialogAnswer AnswerForKey(unsigned virtualKey) {
    if (virtualKey == VK_RETURN) return DialogAnswer::Confirm;
    if (virtualKey == VK_ESCAPE) return DialogAnswer::Cancel;
    return DialogAnswer::None;
}

void Remote::OnRead(int code) {
    const bool repeat = UpdateRepeatState(state_, code, desktop_.Now());
    // Asked only where it matters: a held Vol- with the media keys on.
    const bool volumeDownIsMedia =
        repeat && code == ShutdownKey && state_.settings.mediaKeys && VolumeDownIsMedia();
    Route(SuppressRepeat(state_, repeat, code, volumeDownIsMedia));
    // After a modal dialog or box, reads made meanwhile have each been acted
    // on; the last action ends now.
    ActedOnRead(state_, desktop_.Now());
}

bool Remote::VolumeDownIsMedia() {
    return state_.settings.mediaKeys && state_.settings.defaultSelector != SelectQuillmarsh &&
           NoTvWindowExists();
}

bool Remote::TypeMediaKey(int code) {
    if (!state_.settings.mediaKeys) return false;
    const KeyAction* action = MediaKeys.Find(code);
    if (action == nullptr) return false;
    desktop_.TypeChord(action->keys, ChordLength(*action));
    return true;
}

void Remote::Route(int code) {
    // A dropped repeat does nothing anywhere, in the shutdown dialog too.
    if (code == SuppressedKey) return;
    if (state_.shutdownDialogOpen) {
        AnswerShutdownDialog(code);
        return;
    }
    // Shortly after a resume, a Standby or Off read is one from before the
    // sleep, or one that would send the PC straight back.
    if ((code == StandbyKey || code == ShutdownOrStandbyKey) &&
        ReceiverLink(state_, desktop_).QuietAfterResume())
        return;
    WindowRef known = 0;
    const Application* target = Target(known);
    if (target == nullptr) {
        RouteWithoutTarget(code);
    } else if (code == PowerKey) {
        PowerToggle(target->id);
    } else {
        // The keys that do nothing to a target (Standby, and Off for two of
        // them) are those without a row in its key map. Its key-target
        // window, when Target knows it exists, is not searched for again.
        RunKeyMap(target->id, code, known);
    }
}

// A target whose windows have all gone (closed by the user himself) stops
// being the target here, so that the key goes where it would have gone had
// the application never been adopted.
const Application* Remote::Target(WindowRef& known) {
    for (const Application& application : Applications) {
        ApplicationState& own = state_.Of(application.id);
        if (!own.active) continue;
        if (StillRuns(application.id, known)) return &application;
        own.active = false;
    }
    return nullptr;
}

bool Remote::HasWindow(AppId id) {
    const Application& application = ApplicationOf(id);
    return desktop_.Find(application.keyTarget) != 0 || desktop_.Find(application.main) != 0;
}

// Answered without a search while a window of it seen last still exists. A
// key-target window known to exist (kept, or found here) is given in known.
bool Remote::StillRuns(AppId id, WindowRef& known) {
    ApplicationState& own = state_.Of(id);
    known = 0;
    if (own.targetWindow != 0 && desktop_.Exists(own.targetWindow)) {
        known = own.targetWindow;
        return true;
    }
    if (own.seenWindow != 0 && desktop_.Exists(own.seenWindow)) return true;
    const Application& application = ApplicationOf(id);
    if (const WindowRef target = desktop_.Find(application.keyTarget)) {
        own.targetWindow = known = target;
        return true;
    }
    return desktop_.Find(application.main) != 0;
}

bool Remote::IsRunning(AppId id) { return desktop_.Find(ApplicationOf(id).running) != 0; }

bool Remote::NoTvWindowExists() {
    return std::none_of(std::begin(Applications), std::end(Applications),
                        [this](const Application& application) {
                            return desktop_.Find(application.adopt) != 0;
                        });
}

void Remote::RouteWithoutTarget(int code) {
    const int selector = state_.settings.defaultSelector;
    switch (code) {
        case PowerKey:
            PowerWithoutTarget();
            break;
        case StandbyKey:
            if (NoTvWindowExists()) Standby();
            break;
        case ShutdownOrStandbyKey:
            if (!NoTvWindowExists()) break;
            if (selector == SelectBeyondTv) ShowShutdownDialog();
            else Standby();
            break;
        case ShutdownKey:
            if (selector == SelectQuillmarsh) {
                if (NoTvWindowExists()) ShowShutdownDialog();
            } else if (state_.settings.mediaKeys && NoTvWindowExists()) {
                TypeMediaKey(code);
            }
            break;
        default:
            AdoptOrPoint(code);
            break;
    }
}

void Remote::Standby() {
    // A button that the remote holds down must not stay down through a sleep.
    ReleaseHeldButton(state_.pointer, desktop_);
    // The program's own standby returns once the machine has woken again;
    // its thread could not take the suspend broadcast meanwhile.
    if (desktop_.Standby()) ReceiverLink(state_, desktop_).Resumed();
}

void Remote::PowerWithoutTarget() {
    const Application* application = ApplicationFor(state_.settings.defaultSelector);
    if (application == nullptr) return;
    if (!state_.Of(application->id).installed)
        desktop_.ShowMessage(ReinitializeText, MB_SETFOREGROUND);
    // The box runs a modal loop: read the selector again once it is dismissed.
    DefaultPowerAction(state_.settings.defaultSelector);
}

void Remote::AdoptOrPoint(int code) {
    // Every application is looked for before the first found is adopted.
    WindowRef windows[ApplicationCount];
    for (const Application& application : Applications)
        windows[static_cast<size_t>(application.id)] = desktop_.Find(application.adopt);
    for (const Application& application : Applications) {
        const WindowRef window = windows[static_cast<size_t>(application.id)];
        if (window == 0) continue;
        ApplicationState& own = state_.Of(application.id);
        own.active = true;
        own.seenWindow = window;
        own.fastStep = false;
        // The adoption's search is the key map's own where both look the
        // same way: its window is kept, and not searched for again.
        const bool same = SameLookup(application.adopt, application.keyTarget);
        if (same) own.targetWindow = window;
        RunKeyMap(application.id, code, same ? window : 0);
        return;
    }
    if (!TypeMediaKey(code)) PointerAction(state_.pointer, desktop_, code);
}

void Remote::RunKeyMap(AppId id, int code, WindowRef known) {
    const Application& application = ApplicationOf(id);
    const KeyAction* action = application.keys->Find(code);
    if (action == nullptr) return;
    ApplicationState& own = state_.Of(id);

    switch (action->kind) {
        case KeyActionKind::Click:
            ClickAtPointer(desktop_, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            return;
        case KeyActionKind::ToggleFastStep:
            own.fastStep = !own.fastStep;
            return;
        default:
            break;
    }

    own.targetWindow = known != 0 ? known : desktop_.Find(application.keyTarget);
    const WindowRef window = own.targetWindow;
    if (window == 0) return;

    switch (action->kind) {
        case KeyActionKind::Post:
            desktop_.Post(window, WM_KEYDOWN, action->value, static_cast<int32_t>(action->parameter));
            break;
        case KeyActionKind::PostThen:
            desktop_.Post(window, WM_KEYDOWN, action->value, 0);
            desktop_.Post(window, WM_KEYDOWN, action->parameter & 0xFF, 0);
            break;
        case KeyActionKind::FrontChord:
            desktop_.Raise(window);
            desktop_.TypeChord(action->keys, ChordLength(*action));
            break;
        case KeyActionKind::Chord:
            desktop_.TypeChord(action->keys, ChordLength(*action));
            break;
        case KeyActionKind::Move:
            MoveByStep(desktop_, action->dx, action->dy, own.fastStep);
            break;
        case KeyActionKind::Command:
            desktop_.Post(window, application.commandMessage, action->value, 0);
            break;
        default:  // LookupOnly: the lookup was the whole action
            break;
    }
}

void Remote::Close(AppId id) {
    const Application& application = ApplicationOf(id);
    ApplicationState& own = state_.Of(id);
    const WindowRef window = desktop_.Find(application.closeTest);
    if (application.close == CloseAction::RaiseThenAltF4) own.targetWindow = window;
    if (window == 0) return;
    switch (application.close) {
        case CloseAction::RaiseThenAltF4: {
            static constexpr uint8_t AltF4[] = {VK_MENU, VK_F4};
            desktop_.Raise(window);
            desktop_.TypeChord(AltF4, sizeof AltF4);
            break;
        }
        case CloseAction::GlobalChord: {
            size_t length = 0;
            while (length < sizeof application.closeChord && application.closeChord[length] != 0)
                ++length;
            desktop_.TypeChord(application.closeChord, length);
            break;
        }
        case CloseAction::CloseCommand:
            desktop_.Post(window, application.commandMessage, QuillmarshCloseCommand, 0);
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

void Remote::ExitWatchTick() {
    for (AppId id : ExitWatchOrder) {
        ApplicationState& own = state_.Of(id);
        if (!own.watched) continue;
        // Ends the watch when its windows have gone, by the same test with
        // which the router lets a closed target go.
        state_.idleWatchTicks = -1;
        if (HasWindow(id)) return;
        own.active = false;
        StopWatchTimer();
        own.watched = false;
        return;
    }
    if (++state_.idleWatchTicks >= IdleTicksBeforeStop) {
        state_.idleWatchTicks = -1;
        StopWatchTimer();
    }
}

void Remote::StartWatchTimer() {
    if (state_.watchTimerRunning) return;
    state_.watchTimerRunning = true;
    desktop_.SetWatchTimer(true);
}

void Remote::StopWatchTimer() {
    if (!state_.watchTimerRunning) return;
    state_.watchTimerRunning = false;
    desktop_.SetWatchTimer(false);
}

void Remote::ShowShutdownDialog() {
    state_.shutdownDialogOpen = true;
    // The window of an earlier dialog is gone, and its handle may since name
    // another window: the remote answers only the dialog made now.
    state_.shutdownDialog = 0;
    desktop_.RunShutdownDialog();
    // Returned: the dialog is closed, or was never made. Left set, the flag
    // would send every later key to a window that does not exist.
    state_.shutdownDialogOpen = false;
}

void Remote::AnswerShutdownDialog(int code) {
    // Not made yet: its window is stored when it initialises.
    const WindowRef dialog = state_.shutdownDialog;
    if (dialog == 0) return;
    desktop_.Raise(dialog);
    desktop_.Send(dialog, WM_KEYDOWN, code == PowerKey ? VK_RETURN : VK_ESCAPE, 0);
}

}  // namespace core
