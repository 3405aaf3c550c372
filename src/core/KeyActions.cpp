// The key maps' actions on the application that is the target.
#include <initializer_list>

#include "core/Pointer.h"
#include "core/Remote.h"
#include "core/Sdk.h"

namespace core {

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
        case KeyActionKind::ShutdownCommand:
            desktop_.Post(window, application.commandMessage, action->value, 0);
            break;
        default:  // LookupOnly: the lookup was the whole action
            break;
    }
    ShowKeyAction(application.name, code);
}

void Remote::ShowKeyAction(const char* who, int code) {
    if (const char* label = KeyLabel(code)) ShowKeyAction(who, label);
}

void Remote::ShowKeyAction(const char* who, const char* what) {
    if (!state_.settings.showKeys) return;
    char text[96];
    size_t length = 0;
    for (const char* part : {who, ": ", what})
        for (; *part != '\0' && length < sizeof text - 1; ++part) text[length++] = *part;
    text[length] = '\0';
    desktop_.ShowKeyAction(text);
}

}  // namespace core
