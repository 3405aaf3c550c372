#include "apps/Quillmarsh.h"

#include "apps/KeyMap.h"
#include "apps/TvApplication.h"

namespace {

constexpr KeyAction Rows[] = {
    Command(0, 10001), Command(1, 10002), Command(2, 10003),
    Command(3, 10004), Command(4, 10005), Command(5, 10006),
    Command(6, 10007), Command(7, 10008), Command(8, 10009),
    Command(9, 4003),
    Command(10, 10000),
    Command(11, 10020),
    Command(14, 18),
    Command(16, 4001),
    Command(17, 4002),
    Command(18, 402),
    Command(19, 401),
    Command(20, 403),
    Command(21, 300),
    Command(22, 200),
    Command(23, 3),
    Command(24, 5),
    Command(25, 2000),
    Command(26, 1002),
    Command(27, 1001),
    Command(28, 1000),
    Command(30, 17),
    Command(31, 8),
    Command(64, 1005),
    Command(65, 1004),
    Command(66, 1008),
    Command(67, 1009),
    Command(68, 3000),
    Command(69, 1002),
    Command(72, 4004),
    Command(73, 22),
    Command(74, 20),
    Command(75, 21),
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
    QuillmarshApp.active = 0;
}
