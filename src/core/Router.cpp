// The router: every read goes to exactly one destination, the target's key
// map, an application that the key adopts, the machine's own keys, the
// media keys or the pointer.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/Pointer.h"
#include "core/ReceiverLink.h"
#include "core/Remote.h"

namespace core {

namespace {

bool SameText(const char* a, const char* b) {
    return a == b || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
}

bool SameLookup(const WindowIdentity& a, const WindowIdentity& b) {
    return a.lookup == b.lookup && SameText(a.windowClass, b.windowClass) && SameText(a.title, b.title);
}

}  // namespace

void Remote::OnRead(int code) {
    const bool repeat = UpdateRepeatState(state_, code, desktop_.Now());
    // Asked only where it matters: a held Vol- with the media keys on.
    const bool volumeDownIsMedia = repeat && MachineRoleOf(code) == MachineRole::VolumeDown &&
                                   (state_.settings.mediaKeys || state_.settings.profiles) &&
                                   VolumeDownIsMedia();
    readIsRepeat_ = repeat;
    Route(SuppressRepeat(state_, repeat, code, volumeDownIsMedia));
    readIsRepeat_ = false;
    // After a modal dialog or box, reads made meanwhile have each been acted
    // on; the last action ends now.
    ActedOnRead(state_, desktop_.Now());
}

bool Remote::VolumeDownIsMedia() {
    return (state_.settings.mediaKeys || state_.settings.profiles) &&
           VolumeDownAsDefault(state_.settings.defaultSelector) == WithoutTarget::MediaKey &&
           NoTvWindowExists();
}

bool Remote::TypeMediaKey(int code) {
    if (!state_.settings.mediaKeys) return false;
    const KeyAction* action = MediaKeys.Find(code);
    if (action == nullptr) return false;
    desktop_.TypeChord(action->keys, ChordLength(*action));
    ShowKeyAction("Media", code);
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
    const MachineRole role = MachineRoleOf(code);
    if ((role == MachineRole::Standby || role == MachineRole::Off) &&
        ReceiverLink(state_, desktop_).QuietAfterResume())
        return;
    WindowRef known = 0;
    const Application* target = Target(known);
    if (target == nullptr) {
        RouteWithoutTarget(code);
    } else if (role == MachineRole::Power) {
        PowerToggle(target->id);
    } else {
        // The keys that do nothing to a target (Standby, and Off for some)
        // are those without a row in its key map. Its key-target window, when
        // Target knows it exists, is not searched for again.
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

bool Remote::NoTvWindowExists() {
    return std::none_of(std::begin(Applications), std::end(Applications),
                        [this](const Application& application) {
                            return desktop_.Find(application.adopt) != 0;
                        });
}

void Remote::RouteWithoutTarget(int code) {
    const int selector = state_.settings.defaultSelector;
    switch (MachineRoleOf(code)) {
        case MachineRole::Power:
            PowerWithoutTarget();
            break;
        case MachineRole::Standby:
            ActWithoutTarget(WithoutTarget::Standby, code);
            break;
        case MachineRole::Off:
            ActWithoutTarget(OffAsDefault(selector), code);
            break;
        case MachineRole::VolumeDown:
            ActWithoutTarget(VolumeDownAsDefault(selector), code);
            break;
        case MachineRole::None:
            AdoptOrPoint(code);
            break;
    }
}

// Each waits for no TV window to exist: a key of the machine's own must not
// stop a TV application that the remote does not drive.
void Remote::ActWithoutTarget(WithoutTarget action, int code) {
    switch (action) {
        case WithoutTarget::Standby:
            if (NoTvWindowExists()) Standby();
            break;
        case WithoutTarget::ShutdownDialog:
            if (NoTvWindowExists()) ShowShutdownDialog();
            break;
        case WithoutTarget::MediaKey:
            if (!state_.settings.mediaKeys && !state_.settings.profiles) break;
            if (!NoTvWindowExists()) break;
            if (state_.settings.profiles && RouteToProfile(code)) break;
            TypeMediaKey(code);
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
    if (state_.settings.profiles && RouteToProfile(code)) return;
    if (TypeMediaKey(code)) return;
    PointerAction(state_.pointer, desktop_, code);
    if (const char* what = PointerActionName(code)) ShowKeyAction("Pointer", what);
}

}  // namespace core
