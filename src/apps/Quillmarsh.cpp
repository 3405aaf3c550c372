#include "apps/Quillmarsh.h"

#include "apps/KeyMap.h"
#include "apps/TvApplication.h"

namespace {

using K = RemoteKey;

constexpr KeyAction Rows[] = {
    Command(K::Digit1, 10001), Command(K::Digit2, 10002), Command(K::Digit3, 10003),
    Command(K::Digit4, 10004), Command(K::Digit5, 10005), Command(K::Digit6, 10006),
    Command(K::Digit7, 10007), Command(K::Digit8, 10008), Command(K::Digit9, 10009),
    Command(K::Recall, 4003),
    Command(K::Digit0, 10000),
    Command(K::Enter, 10020),
    Command(K::Ok, 18),
    Command(K::Up, 4001),
    Command(K::Down, 4002),
    Command(K::Left, 402),
    Command(K::Right, 401),
    Command(K::Mute, 403),
    Command(K::Audio, 300),
    Command(K::Info, 200),
    Command(K::Zoom, 3),
    Command(K::Off, 5),
    Command(K::Tv, 2000),
    Command(K::Stop, 1002),
    Command(K::Record, 1001),
    Command(K::VolumeUp, 1000),
    Command(K::ChannelUp, 17),
    Command(K::ChannelDown, 8),
    Command(K::FastForward, 1005),
    Command(K::Rewind, 1004),
    Command(K::SkipBack, 1008),
    Command(K::SkipForward, 1009),
    Command(K::Play, 3000),
    Command(K::End, 1002),
    Command(K::Back, 4004),
    Command(K::Home, 22),
    Command(K::Delete, 20),
    Command(K::Step, 21),
};

}  // namespace

const KeyMapTable QuillmarshKeys = {Rows, sizeof Rows / sizeof Rows[0], QuillmarshApp,
                                    FindQuillmarshWindow};

void QuillmarshKeyMap(int code) { RunKeyMap(QuillmarshKeys, code); }

void PostQuillmarshCommand(WPARAM command) {
    QuillmarshApp.targetWindow = FindQuillmarshWindow();
    if (QuillmarshApp.targetWindow != nullptr)
        PostMessageA(QuillmarshApp.targetWindow, QuillmarshCommandMessage, command, 0);
}

void CloseQuillmarsh() {
    HWND window = FindQuillmarshWindow();
    if (window == nullptr) return;
    PostMessageA(window, QuillmarshCommandMessage, QuillmarshCloseCommand, 0);
    QuillmarshApp.active = false;
}
