#include "apps/KeyMap.h"

#include "apps/Quillmarsh.h"
#include "apps/TvApplication.h"
#include "pointer/Pointer.h"

namespace {

constexpr int SlowStep = 10;
constexpr int FastStepExtra = 40;

size_t ChordLength(const KeyAction& action) {
    size_t length = 0;
    while (length < sizeof action.keys && action.keys[length] != 0) ++length;
    return length;
}

}  // namespace

const KeyAction* FindKeyAction(const KeyMapTable& map, int code) {
    for (size_t i = 0; i < map.count; ++i)
        if (map.rows[i].code == code) return &map.rows[i];
    return nullptr;
}

void RunKeyMap(const KeyMapTable& map, int code) {
    const KeyAction* action = FindKeyAction(map, code);
    if (action == nullptr) return;
    TvApplication& app = map.application;

    switch (action->kind) {
        case KeyActionKind::Click:
            ClickAtPointer(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            return;
        case KeyActionKind::ToggleFastStep:
            app.fastStep = !app.fastStep;
            return;
        default:
            break;
    }

    app.targetWindow = map.findTarget();
    HWND window = app.targetWindow;
    if (window == nullptr) return;

    switch (action->kind) {
        case KeyActionKind::Post:
            PostMessageA(window, WM_KEYDOWN, action->value, static_cast<LPARAM>(action->parameter));
            break;
        case KeyActionKind::PostThen:
            PostMessageA(window, WM_KEYDOWN, action->value, 0);
            PostMessageA(window, WM_KEYDOWN, action->parameter & 0xFF, 0);
            break;
        case KeyActionKind::FrontChord:
            BringToFront(window);
            KeyChord(action->keys, ChordLength(*action));
            break;
        case KeyActionKind::Chord:
            KeyChord(action->keys, ChordLength(*action));
            break;
        case KeyActionKind::Move: {
            const int step = SlowStep + FastStepExtra * app.fastStep;
            mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(action->dx * step),
                        static_cast<DWORD>(action->dy * step), 0, 0);
            break;
        }
        case KeyActionKind::Command:
            PostMessageA(window, QuillmarshCommandMessage, action->value, 0);
            break;
        default:  // LookupOnly: the lookup was the whole action
            break;
    }
}
