#include "core/KeyActions.h"

#include "core/Pointer.h"
#include "core/Sdk.h"

namespace core {

void KeyActions::RunKeyMap(AppId id, int code, WindowRef known) {
    const Application& application = ApplicationOf(id);
    const KeyAction* action = application.keys->Find(code);
    if (action == nullptr) return;
    ApplicationRun& own = power_.Of(id);

    switch (action->kind) {
        case KeyActionKind::Click:
            ClickAtPointer(windows_, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            return;
        case KeyActionKind::ToggleFastStep:
            own.fastStep = !own.fastStep;
            return;
        default:
            break;
    }

    own.targetWindow = known != 0 ? known : windows_.Find(application.keyTarget);
    const WindowRef window = own.targetWindow;
    if (window == 0) return;

    switch (action->kind) {
        case KeyActionKind::Post:
            windows_.Post(window, WM_KEYDOWN, action->value, static_cast<int32_t>(action->parameter));
            break;
        case KeyActionKind::PostThen:
            windows_.Post(window, WM_KEYDOWN, action->value, 0);
            windows_.Post(window, WM_KEYDOWN, action->parameter & 0xFF, 0);
            break;
        case KeyActionKind::FrontChord:
            windows_.Raise(window);
            windows_.TypeChord(action->keys, ChordLength(*action));
            break;
        case KeyActionKind::Chord:
            windows_.TypeChord(action->keys, ChordLength(*action));
            break;
        case KeyActionKind::Move:
            MoveByStep(windows_, action->dx, action->dy, own.fastStep);
            break;
        case KeyActionKind::Command:
        case KeyActionKind::ShutdownCommand:
            windows_.Post(window, application.commandMessage, action->value, 0);
            break;
        default:  // LookupOnly: the lookup was the whole action
            break;
    }
    ShowKeyAction(KeyDoer::Named, application.name, code);
}

void KeyActions::ShowKeyAction(KeyDoer who, const char* name, int code) {
    if (const char* label = KeyLabel(code)) Show({who, name, label, PointerAction::None});
}

void KeyActions::ShowPointerAction(int code) {
    const PointerAction action = PointerActionOf(code);
    if (action != PointerAction::None) Show({KeyDoer::Pointer, nullptr, nullptr, action});
}

void KeyActions::Show(const KeyDone& done) {
    if (settings_.showKeys) feedback_.ShowKeyAction(done);
}

}  // namespace core
