#include "apps/BeyondTv.h"

#include "apps/KeyMap.h"
#include "apps/TvApplication.h"

namespace {

using K = RemoteKey;

constexpr KeyAction Rows[] = {
    Post(K::Digit1, VK_NUMPAD1), Post(K::Digit2, VK_NUMPAD2), Post(K::Digit3, VK_NUMPAD3),
    Post(K::Digit4, VK_NUMPAD4), Post(K::Digit5, VK_NUMPAD5), Post(K::Digit6, VK_NUMPAD6),
    Post(K::Digit7, VK_NUMPAD7), Post(K::Digit8, VK_NUMPAD8), Post(K::Digit9, VK_NUMPAD9),
    Post(K::Recall, 'L'),
    Post(K::Digit0, VK_NUMPAD0),
    Post(K::Enter, VK_RETURN),
    Post(K::Ok, VK_RETURN),
    Post(K::Up, VK_UP),
    Post(K::Down, VK_DOWN),
    Post(K::Left, VK_LEFT),
    Post(K::Right, VK_RIGHT),
    Post(K::Mute, 'M'),
    LookupOnly(K::Audio),
    LookupOnly(K::Info),
    FrontChord(K::Zoom, VK_MENU, VK_RETURN),
    LookupOnly(K::Tv),
    Post(K::Stop, 'S'),
    Post(K::Record, 'R'),
    Post(K::VolumeUp, VK_ADD),
    Post(K::VolumeDown, VK_SUBTRACT),
    PostThen(K::ChannelUp, VK_UP, VK_RETURN),
    PostThen(K::ChannelDown, VK_DOWN, VK_RETURN),
    Post(K::FastForward, VK_OEM_COMMA),
    Post(K::Rewind, VK_OEM_PERIOD),
    Post(K::SkipBack, VK_LEFT),
    Post(K::SkipForward, VK_RIGHT),
    Post(K::Play, VK_MEDIA_PLAY_PAUSE),
    Post(K::End, 'S'),
    Post(K::Back, VK_ESCAPE),
    Post(K::Home, VK_HOME),
    Post(K::Delete, VK_DELETE),
    Post(K::Step, 'O'),
    Post(K::Details, 'I'),
    Post(K::Full, VK_F11),
    Post(K::Previous, VK_PRIOR),
    Post(K::Next, VK_NEXT),
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
    BeyondTvApp.active = false;
}
