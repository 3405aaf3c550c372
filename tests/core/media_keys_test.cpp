// The system's media keys, typed when "MediaKeys" is 1 and no TV application
// runs; with it off, or with an application running, nothing changes.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"
#include "core/Remote.h"

namespace {

using core::AppId;

using K = RemoteKey;
constexpr int Play = Code(K::Play), Stop = Code(K::Stop), End = Code(K::End),
              SkipForward = Code(K::SkipForward), Next = Code(K::Next),
              SkipBack = Code(K::SkipBack), Previous = Code(K::Previous),
              VolumeUp = Code(K::VolumeUp), VolumeDown = Code(K::VolumeDown), Mute = Code(K::Mute),
              Digit2 = Code(K::Digit2);

// Code, and the media key it types (VK_MEDIA_*, VK_VOLUME_*).
const std::pair<int, int> MediaRecord[] = {
    {Play, 0xB3}, {Stop, 0xB2},     {End, 0xB2},      {SkipForward, 0xB0}, {Next, 0xB0},
    {SkipBack, 0xB1}, {Previous, 0xB1}, {VolumeUp, 0xAF}, {VolumeDown, 0xAE}, {Mute, 0xAD},
};

struct MediaKeys : ::testing::Test {
    FakeDesktop desktop;
    core::State state;
    core::Remote remote{state, desktop};

    MediaKeys() {
        core::InitScreenBounds(state.pointer, 1024, 768);
        state.settings.mediaKeys = true;
        state.settings.defaultSelector = core::SelectBeyondTv;
    }
    Effects Press(int code) {
        desktop.effects.clear();
        desktop.clock += 1000;
        remote.OnRead(code);
        return desktop.effects;
    }
    Effects Hold(int code, int reads) {
        desktop.effects.clear();
        desktop.clock += 1000;
        for (int i = 0; i < reads; ++i) {
            desktop.clock += 110;
            remote.OnRead(code);
        }
        return desktop.effects;
    }
};

TEST_F(MediaKeys, EachKeyTypesItsMediaKeyOnceDownAndUp) {
    for (const auto& [code, vk] : MediaRecord) {
        SCOPED_TRACE("code " + std::to_string(code));
        ExpectEffects(Press(code), {"chord " + std::to_string(vk)});
    }
}

TEST_F(MediaKeys, OffTheyDoNothingAsBefore) {
    state.settings.mediaKeys = false;
    for (const auto& entry : MediaRecord) ExpectEffects(Press(entry.first), {});
}

TEST_F(MediaKeys, VolumeDownKeepsTheShutdownDialogWhenQuillmarshIsTheDefault) {
    state.settings.defaultSelector = core::SelectQuillmarsh;
    ExpectEffects(Press(VolumeDown), {"dialog", "dialog ended"});
}

TEST_F(MediaKeys, ARunningApplicationGetsItsOwnMapAndThePointerKeepsItsKeys) {
    ExpectEffects(Press(Digit2), {"cursor 499,399"});
    desktop.OpenApplication(AppId::BeyondTv);
    ExpectEffects(Press(Play), {"post beyondtv.target 256 179 0x0"});
    ExpectEffects(Press(VolumeUp), {"post beyondtv.target 256 107 0x0"});
    desktop.CloseApplication(AppId::BeyondTv);
    ExpectEffects(Press(Play), {"chord 179"});
    desktop.OpenApplication(AppId::WinDvr);  // running, not yet adopted: Vol- waits
    ExpectEffects(Press(VolumeDown), {});
}

TEST_F(MediaKeys, HeldVolumeKeysRepeatAndTheOthersActOncePerPress) {
    ExpectEffects(Hold(VolumeUp, 3), {"chord 175", "chord 175", "chord 175"});
    ExpectEffects(Hold(VolumeDown, 3), {"chord 174", "chord 174", "chord 174"});
    ExpectEffects(Hold(Play, 3), {"chord 179"});
    ExpectEffects(Hold(Mute, 3), {"chord 173"});
    state.settings.defaultSelector = core::SelectQuillmarsh;
    ExpectEffects(Hold(VolumeDown, 3), {"dialog", "dialog ended"});  // one-shot again
}

}  // namespace
