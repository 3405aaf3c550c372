#include "core/Router.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/Profiles.h"

namespace core {

namespace {

bool SameText(const char* a, const char* b) {
    return a == b || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
}

bool SameLookup(const WindowIdentity& a, const WindowIdentity& b) {
    return a.lookup == b.lookup && SameText(a.windowClass, b.windowClass) && SameText(a.title, b.title);
}

}  // namespace

void Router::OnRead(int code) {
    const uint32_t now = machine_.Now();
    const uint32_t lastRead = repeat_.lastKeyTime();
    const bool repeat = repeat_.UpdateRepeatState(code, now);
    const bool theirs = listeners_ != nullptr && listeners_->Heard(code, repeat);
    // A held key that waits for its long press is its own: it waits, acts
    // with its hold action now, or has. Any other read lets it go first.
    const bool held = repeat && to_.longPress.Takes(code);
    if (held)
        to_.longPress.Look(now, lastRead, true);
    else
        to_.longPress.LetGo();
    if (theirs || held) {
        repeat_.ActedOnRead(machine_.Now());
        if (listeners_ != nullptr) listeners_->Routed();
        return;
    }
    if (!repeat) to_.pointer.NewRun();
    // Asked only where it matters: a held Vol- with the media keys on.
    const bool volumeDownIsMedia =
        repeat && MachineRoleOf(code) == MachineRole::VolumeDown && VolumeDownIsMedia();
    const Situation situation = {to_.shutdown.IsOpen(), to_.power.AnyActive(), volumeDownIsMedia};
    Route(repeat_.SuppressRepeat(repeat, code, situation), repeat);
    // After a modal dialog or box, reads made meanwhile have each been acted
    // on; the last action ends now.
    repeat_.ActedOnRead(machine_.Now());
    if (listeners_ != nullptr) listeners_->Routed();
}

bool Router::VolumeDownIsMedia() {
    return (settings_.mediaKeys || settings_.profiles) &&
           VolumeDownAsDefault(settings_.defaultSelector) == WithoutTarget::MediaKey &&
           NoTvWindowExists();
}

bool Router::TypeMediaKey(int code) {
    if (!settings_.mediaKeys) return false;
    const KeyAction* action = MediaKeys.Find(code);
    if (action == nullptr) return false;
    windows_.TypeChord(action->keys, ChordLength(*action));
    to_.keys.ShowKeyAction(KeyDoer::Media, nullptr, code);
    return true;
}

void Router::Route(int code, bool repeat) {
    // A dropped repeat does nothing anywhere, in the shutdown dialog too.
    if (code == SuppressedKey) return;
    if (to_.shutdown.IsOpen()) {
        to_.shutdown.AnswerShutdownDialog(code);
        return;
    }
    // Shortly after a resume, a Standby or Off read is one from before the
    // sleep, or one that would send the PC straight back.
    const MachineRole role = MachineRoleOf(code);
    if ((role == MachineRole::Standby || role == MachineRole::Off) &&
        to_.link.QuietAfterResume())
        return;
    WindowRef known = 0;
    const Application* target = to_.power.Target(known);
    if (target == nullptr) {
        RouteWithoutTarget(code, repeat);
    } else if (role == MachineRole::Power) {
        to_.power.PowerToggle(target->id);
    } else {
        // The keys that do nothing to a target (Standby, and Off for some)
        // are those without a row in its key map. Its key-target window, when
        // Target knows it exists, is not searched for again.
        to_.keys.RunKeyMap(target->id, code, known);
    }
}

bool Router::NoTvWindowExists() {
    return std::none_of(std::begin(Applications), std::end(Applications),
                        [this](const Application& application) {
                            return windows_.Find(application.adopt) != 0;
                        });
}

void Router::RouteWithoutTarget(int code, bool repeat) {
    const int selector = settings_.defaultSelector;
    switch (MachineRoleOf(code)) {
        case MachineRole::Power:
            to_.power.PowerWithoutTarget();
            break;
        case MachineRole::Standby:
            ActWithoutTarget(WithoutTarget::Standby, code, repeat);
            break;
        case MachineRole::Off:
            ActWithoutTarget(OffAsDefault(selector), code, repeat);
            break;
        case MachineRole::VolumeDown:
            ActWithoutTarget(VolumeDownAsDefault(selector), code, repeat);
            break;
        case MachineRole::None:
            AdoptOrPoint(code, repeat);
            break;
    }
}

// Each waits for no TV window to exist: a key of the machine's own must not
// stop a TV application that the remote does not drive.
void Router::ActWithoutTarget(WithoutTarget action, int code, bool repeat) {
    switch (action) {
        case WithoutTarget::Standby:
            if (NoTvWindowExists()) Standby();
            break;
        case WithoutTarget::ShutdownDialog:
            if (NoTvWindowExists()) to_.shutdown.ShowShutdownDialog();
            break;
        case WithoutTarget::MediaKey:
            if (!settings_.mediaKeys && !settings_.profiles) break;
            if (!NoTvWindowExists()) break;
            if (settings_.profiles && RouteToProfile(code, repeat)) break;
            TypeMediaKey(code);
            break;
    }
}

void Router::Standby() {
    // A button that the remote holds down must not stay down through a sleep.
    to_.pointer.ReleaseHeldButton();
    // The program's own standby returns once the machine has woken again;
    // its thread could not take the suspend broadcast meanwhile.
    if (machine_.Standby()) to_.link.Resumed();
}

void Router::AdoptOrPoint(int code, bool repeat) {
    // Every application is looked for before the first found is adopted.
    WindowRef windows[ApplicationCount];
    for (const Application& application : Applications)
        windows[static_cast<size_t>(application.id)] = windows_.Find(application.adopt);
    for (const Application& application : Applications) {
        const WindowRef window = windows[static_cast<size_t>(application.id)];
        if (window == 0) continue;
        ApplicationRun& own = to_.power.Of(application.id);
        own.active = true;
        own.seenWindow = window;
        own.fastStep = false;
        // The adoption's search is the key map's own where both look the
        // same way: its window is kept, and not searched for again.
        const bool same = SameLookup(application.adopt, application.keyTarget);
        if (same) own.targetWindow = window;
        to_.keys.RunKeyMap(application.id, code, same ? window : 0);
        return;
    }
    if (settings_.profiles && RouteToProfile(code, repeat)) return;
    if (TypeMediaKey(code)) return;
    to_.pointer.Act(code);
    to_.keys.ShowPointerAction(code);
}

bool Router::RouteToProfile(int code, bool repeat) {
    // One lookup of the window in front per key.
    const Foreground front = windows_.ForegroundWindow();
    const Profile* profile = MatchProfile(profiles_.Profiles(), front);
    if (profile == nullptr) return false;
    const KeyAction* action = profile->keys.Find(code);
    const KeyAction* hold = profile->keys.FindHold(code);
    if (action == nullptr || action->kind == KeyActionKind::Pointer) return false;
    if (hold != nullptr) {
        // Its press waits to see whether it is held; either way it acts once.
        if (!repeat) to_.longPress.Press(code, machine_.Now(), *action, *hold, front.window, profile->name);
        return true;
    }
    // A held key acts once per press, but for those that repeat.
    if (repeat && !RepeatsWhileHeld(*action)) return true;
    ActInProfile(windows_, to_.keys, *action, front.window, profile->name);
    return true;
}

}  // namespace core
