// Every key of every key map against a record of what it must do, written
// here by code number, apart from the program's own tables: a mistyped entry
// in either shows as a difference. Each code runs in a fresh state with the
// application's windows open.
#include <gtest/gtest.h>

#include <map>

#include "FakeDesktop.h"
#include "core/Remote.h"

namespace {

using core::AppId;

constexpr int KeyDown = 256;  // WM_KEYDOWN
constexpr int Power = 12;

struct Record {
    AppId id;
    const char* lookup;   // the lookup of the key-target window, as recorded
    const char* target;   // the key-target window's name in the effects
    std::map<int, Effects> effects;  // codes without an entry do nothing, not even the lookup
};

std::string PostKey(const char* window, int vk, unsigned lParam = 0) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", lParam);
    return "post " + std::string(window) + " " + std::to_string(KeyDown) + " " +
           std::to_string(vk) + " " + hex;
}

Record WinDvrRecord() {
    const char* w = "windvr.target";
    Record r{AppId::WinDvr, "find exact |InterVideo WinDVR 6", w, {}};
    const std::map<int, std::pair<int, unsigned>> posts = {
        {0, {'1', 0x00020001}}, {1, {'2', 0x00030001}}, {2, {'3', 0x00040001}},
        {3, {'4', 0x00050001}}, {4, {'5', 0x00060001}}, {5, {'6', 0x00070001}},
        {6, {'7', 0x00080001}}, {7, {'8', 0x00090001}}, {8, {'9', 0x000A0001}},
        {9, {'L', 0}},          {10, {'0', 0x000B0001}}, {11, {13, 0x001C0001}},
        {20, {'M', 0x00320001}}, {21, {'U', 0x00160001}}, {23, {'Z', 0x002C0001}},
        {25, {'T', 0}},         {26, {35, 0}},          {27, {36, 0}},
        {30, {33, 0x01490001}}, {31, {34, 0x01510001}}, {68, {32, 0}},
        {69, {35, 0}},          {72, {'O', 0}},         {73, {'H', 0x001E0001}},
        {74, {'P', 0x00190001}},
    };
    for (const auto& [code, post] : posts) r.effects[code] = {r.lookup, PostKey(w, post.first, post.second)};
    r.effects[22] = {r.lookup, "raise windvr.target", "chord 17+73"};
    r.effects[28] = {r.lookup, "raise windvr.target", "chord 16+38"};
    r.effects[29] = {r.lookup, "raise windvr.target", "chord 16+40"};
    r.effects[64] = {r.lookup, "chord 17+16+70"};
    r.effects[65] = {r.lookup, "chord 17+16+82"};
    r.effects[78] = {r.lookup, "chord 17+66"};
    r.effects[79] = {r.lookup, "chord 17+70"};
    r.effects[16] = {r.lookup, "move 0 -10"};
    r.effects[17] = {r.lookup, "move 0 10"};
    r.effects[18] = {r.lookup, "move -10 0"};
    r.effects[19] = {r.lookup, "move 10 0"};
    r.effects[14] = {"button 2 @500,400", "button 4 @500,400"};  // a click, no lookup
    r.effects[75] = {};  // the fast step, no lookup (see below)
    return r;
}

Record BeyondTvRecord() {
    const char* b = "beyondtv.target";
    Record r{AppId::BeyondTv, "find child Streamzap.WM.D3D|", b, {}};
    const std::map<int, std::vector<int>> posts = {
        {0, {97}},  {1, {98}},  {2, {99}},  {3, {100}}, {4, {101}}, {5, {102}},  {6, {103}},
        {7, {104}}, {8, {105}}, {9, {'L'}}, {10, {96}}, {11, {13}}, {14, {13}},  {16, {38}},
        {17, {40}}, {18, {37}}, {19, {39}}, {20, {'M'}}, {26, {'S'}}, {27, {'R'}}, {28, {107}},
        {29, {109}}, {30, {38, 13}}, {31, {40, 13}}, {64, {188}}, {65, {190}}, {66, {37}},
        {67, {39}}, {68, {179}}, {69, {'S'}}, {72, {27}}, {73, {36}}, {74, {46}}, {75, {'O'}},
        {76, {'I'}}, {77, {122}}, {78, {33}}, {79, {34}},
    };
    for (const auto& [code, vks] : posts) {
        Effects effects = {r.lookup};
        for (int vk : vks) effects.push_back(PostKey(b, vk));
        r.effects[code] = effects;
    }
    for (int code : {21, 22, 25}) r.effects[code] = {r.lookup};  // the lookup alone
    r.effects[23] = {r.lookup, "raise beyondtv.target", "chord 18+13"};
    return r;
}

Record QuillmarshRecord() {
    Record r{AppId::Quillmarsh, "find child VarnelMainPanel_Class|", "quillmarsh.target", {}};
    const std::map<int, int> commands = {
        {0, 10001}, {1, 10002}, {2, 10003}, {3, 10004}, {4, 10005}, {5, 10006}, {6, 10007},
        {7, 10008}, {8, 10009}, {9, 4003},  {10, 10000}, {11, 10020}, {14, 18},  {16, 4001},
        {17, 4002}, {18, 402},  {19, 401},  {20, 403},  {21, 300},  {22, 200},  {23, 3},
        {24, 5},    {25, 2000}, {26, 1002}, {27, 1001}, {28, 1000}, {29, 5001}, {30, 17},
        {31, 8},    {64, 1005}, {65, 1004}, {66, 1008}, {67, 1009}, {68, 3000}, {69, 1002},
        {72, 4004}, {73, 22},   {74, 20},   {75, 21},
    };
    for (const auto& [code, command] : commands)
        r.effects[code] = {r.lookup, "post quillmarsh.target 4024 " + std::to_string(command) + " 0x0"};
    return r;
}

// The key-target window kept from before the key: one that has closed since.
constexpr core::WindowRef GoneWindow = 0x999;

struct Routed {
    Effects effects;
    core::WindowRef stored;  // the key-target window kept after the key
    core::WindowRef target;  // the key-target window open during the key, or 0
};

// One code routed to the application as the target, with or without its
// key-target window; its main window is open, so it stays the target.
Routed RouteToTarget(const Record& record, int code, bool targetOpen) {
    FakeDesktop desktop;
    desktop.OpenApplication(record.id);
    core::State state;
    core::ApplicationState& own = state.Of(record.id);
    own.installed = own.active = true;
    own.targetWindow = GoneWindow;
    const std::string target = record.target;
    own.seenWindow = desktop.Named(target.substr(0, target.find('.')) + ".main");
    if (!targetOpen) desktop.Close(desktop.Named(target));
    core::Remote remote(state, desktop);
    desktop.recordLookups = true;
    remote.Route(code);
    return {desktop.effects, own.targetWindow, desktop.Named(target)};
}

class KeyMapRecord : public ::testing::TestWithParam<Record (*)()> {};

TEST_P(KeyMapRecord, EveryCodeDoesWhatTheRecordSays) {
    const Record record = GetParam()();
    for (int code = 0; code < 256; ++code) {
        if (code == Power) continue;  // the toggle, not the map
        const auto entry = record.effects.find(code);
        SCOPED_TRACE("code " + std::to_string(code));
        const Effects expected = entry == record.effects.end() ? Effects{} : entry->second;
        const bool looksUp = !expected.empty() && expected.front() == record.lookup;
        const Routed open = RouteToTarget(record, code, true);
        ExpectEffects(open.effects, expected);
        EXPECT_EQ(open.stored, looksUp ? open.target : GoneWindow);
        // Without the key-target window the lookup is all, and its null is
        // kept; what needs no window happens as before.
        const Routed closed = RouteToTarget(record, code, false);
        ExpectEffects(closed.effects, looksUp ? Effects{record.lookup} : expected);
        EXPECT_EQ(closed.stored, looksUp ? 0 : GoneWindow);
    }
}

INSTANTIATE_TEST_SUITE_P(Applications, KeyMapRecord,
                         ::testing::Values(WinDvrRecord, BeyondTvRecord, QuillmarshRecord));

TEST(WinDvrPointer, TheStepKeySwitchesTheMovesBetweenTenAndFiftyPixels) {
    FakeDesktop desktop;
    desktop.OpenApplication(AppId::WinDvr);
    core::State state;
    state.Of(AppId::WinDvr).active = true;
    core::Remote remote(state, desktop);
    for (int code : {16, 75, 19, 17, 75, 18}) remote.Route(code);
    // Its video window closed, its panel still open: Up moves nothing, Step
    // still switches.
    desktop.Close(desktop.Named("windvr.target"));
    for (int code : {16, 75}) remote.Route(code);
    desktop.Open("windvr.video", "FakeWinDVRVideo", "InterVideo WinDVR 6");
    remote.Route(16);
    ExpectEffects(desktop.effects, {"move 0 -10", "move 50 0", "move 0 50", "move -10 0", "move 0 -50"});
    // All its windows closed: it is let go, and Up is no pointer key.
    desktop.CloseApplication(AppId::WinDvr);
    desktop.Close(desktop.Named("windvr.video"));
    desktop.effects.clear();
    remote.Route(16);
    ExpectEffects(desktop.effects, {});
    EXPECT_FALSE(state.Of(AppId::WinDvr).active);
}

TEST(WinDvrPointer, AdoptionStartsAtTheSlowStep) {
    FakeDesktop desktop;
    desktop.OpenApplication(AppId::WinDvr);
    core::State state;
    state.Of(AppId::WinDvr).fastStep = true;  // left over from an earlier adoption
    core::Remote remote(state, desktop);
    remote.Route(16);
    ExpectEffects(desktop.effects, {"move 0 -10"});
}

}  // namespace
