// The key map of each TV application: what every key of the remote does to
// it while it is the remote's target. A key without a row does nothing there.
// Then the media keys, for when no TV application runs.
#include "core/Applications.h"
#include "core/KeyMap.h"

#include "core/Sdk.h"

namespace core {

namespace {

using K = RemoteKey;

constexpr KeyAction QuillmarshRows[] = {
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
    ShutdownCommand(K::VolumeDown, 5001),
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

constexpr KeyAction BeyondTvRows[] = {
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

// lParam of WinDVR 6's digit keys: repeat count 1 and the main keyboard's scan code.
constexpr uint32_t WinDvrDigitKeyData[10] = {
    0x000B0001, 0x00020001, 0x00030001, 0x00040001, 0x00050001,
    0x00060001, 0x00070001, 0x00080001, 0x00090001, 0x000A0001,
};

constexpr KeyAction Digit(RemoteKey key, int digit) {
    return Post(key, static_cast<uint8_t>('0' + digit), WinDvrDigitKeyData[digit]);
}

constexpr KeyAction WinDvrRows[] = {
    Digit(K::Digit1, 1), Digit(K::Digit2, 2), Digit(K::Digit3, 3),
    Digit(K::Digit4, 4), Digit(K::Digit5, 5), Digit(K::Digit6, 6),
    Digit(K::Digit7, 7), Digit(K::Digit8, 8), Digit(K::Digit9, 9),
    Post(K::Recall, 'L'),
    Digit(K::Digit0, 0),
    Post(K::Enter, VK_RETURN, 0x001C0001),
    Click(K::Ok),
    Move(K::Up, 0, -1),
    Move(K::Down, 0, +1),
    Move(K::Left, -1, 0),
    Move(K::Right, +1, 0),
    Post(K::Mute, 'M', 0x00320001),
    Post(K::Audio, 'U', 0x00160001),
    FrontChord(K::Info, VK_CONTROL, 'I'),
    Post(K::Zoom, 'Z', 0x002C0001),
    Post(K::Tv, 'T'),
    Post(K::Stop, VK_END),
    Post(K::Record, VK_HOME),
    FrontChord(K::VolumeUp, VK_SHIFT, VK_UP),
    FrontChord(K::VolumeDown, VK_SHIFT, VK_DOWN),
    Post(K::ChannelUp, VK_PRIOR, 0x01490001),
    Post(K::ChannelDown, VK_NEXT, 0x01510001),
    Chord(K::FastForward, VK_CONTROL, VK_SHIFT, 'F'),
    Chord(K::Rewind, VK_CONTROL, VK_SHIFT, 'R'),
    Post(K::Play, VK_SPACE),
    Post(K::End, VK_END),
    Post(K::Back, 'O'),
    Post(K::Home, 'H', 0x001E0001),
    Post(K::Delete, 'P', 0x00190001),
    ToggleFastStep(K::Step),
    Chord(K::Previous, VK_CONTROL, 'B'),
    Chord(K::Next, VK_CONTROL, 'F'),
};

// Vol- is a media key only when the default application gives it no other
// action (its row's volumeDown).
constexpr KeyAction MediaRows[] = {
    Type(K::Play, VK_MEDIA_PLAY_PAUSE),
    Type(K::Stop, VK_MEDIA_STOP),
    Type(K::End, VK_MEDIA_STOP),
    Type(K::SkipForward, VK_MEDIA_NEXT_TRACK),
    Type(K::Next, VK_MEDIA_NEXT_TRACK),
    Type(K::SkipBack, VK_MEDIA_PREV_TRACK),
    Type(K::Previous, VK_MEDIA_PREV_TRACK),
    Type(K::VolumeUp, VK_VOLUME_UP),
    Type(K::VolumeDown, VK_VOLUME_DOWN),
    Type(K::Mute, VK_VOLUME_MUTE),
};

template <size_t N>
constexpr KeyMap MapOf(const KeyAction (&rows)[N]) {
    return {rows, N};
}

}  // namespace

constexpr KeyMap MediaKeys = MapOf(MediaRows);
constexpr KeyMap QuillmarshKeys = MapOf(QuillmarshRows);
constexpr KeyMap BeyondTvKeys = MapOf(BeyondTvRows);
constexpr KeyMap WinDvrKeys = MapOf(WinDvrRows);

}  // namespace core
