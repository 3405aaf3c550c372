#include "apps/BeyondTv.h"

#include "apps/KeyMap.h"
#include "apps/TvApplication.h"

namespace {

constexpr KeyAction Rows[] = {
    Post(0, VK_NUMPAD1), Post(1, VK_NUMPAD2), Post(2, VK_NUMPAD3),
    Post(3, VK_NUMPAD4), Post(4, VK_NUMPAD5), Post(5, VK_NUMPAD6),
    Post(6, VK_NUMPAD7), Post(7, VK_NUMPAD8), Post(8, VK_NUMPAD9),
    Post(9, 'L'),
    Post(10, VK_NUMPAD0),
    Post(11, VK_RETURN),
    Post(14, VK_RETURN),
    Post(16, VK_UP),
    Post(17, VK_DOWN),
    Post(18, VK_LEFT),
    Post(19, VK_RIGHT),
    Post(20, 'M'),
    LookupOnly(21),
    LookupOnly(22),
    FrontChord(23, VK_MENU, VK_RETURN),
    LookupOnly(25),
    Post(26, 'S'),
    Post(27, 'R'),
    Post(28, VK_ADD),
    Post(29, VK_SUBTRACT),
    PostThen(30, VK_UP, VK_RETURN),
    PostThen(31, VK_DOWN, VK_RETURN),
    Post(64, VK_OEM_COMMA),
    Post(65, VK_OEM_PERIOD),
    Post(66, VK_LEFT),
    Post(67, VK_RIGHT),
    Post(68, VK_MEDIA_PLAY_PAUSE),
    Post(69, 'S'),
    Post(72, VK_ESCAPE),
    Post(73, VK_HOME),
    Post(74, VK_DELETE),
    Post(75, 'O'),
    Post(76, 'I'),
    Post(77, VK_F11),
    Post(78, VK_PRIOR),
    Post(79, VK_NEXT),
};

}  // namespace

const KeyMapTable BeyondTvKeys = {Rows, sizeof Rows / sizeof Rows[0], BeyondTvApp,
                                  FindBeyondTvWindow};

void BeyondTvKeyMap(int code) { RunKeyMap(BeyondTvKeys, code); }

void CloseBeyondTv() {
    BeyondTvApp.targetWindow = FindBeyondTvWindow();
    if (BeyondTvApp.targetWindow == nullptr) return;
    BringToFront(BeyondTvApp.targetWindow);
    KeyChord({VK_MENU, VK_F4});
    BeyondTvApp.active = 0;
}
