// Routing as one table: every code, and the dropped repeat, in every mode,
// observed on real windows and in the recorded input. The sets of codes each
// destination acts on are the product's published key tables.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "InputRecorder.h"
#include "apps/TvApplication.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "receiver/KeyPoll.h"
#include "receiver/KeyRouter.h"
#include "shell/Program.h"
#include "shell/Settings.h"

namespace {

using Codes = std::set<int>;

Codes Range(int first, int last, Codes more = {}) {
    for (int code = first; code <= last; ++code) more.insert(code);
    return more;
}

Codes Join(std::initializer_list<Codes> parts) {
    Codes all;
    for (const Codes& part : parts) all.insert(part.begin(), part.end());
    return all;
}

const Codes WinDvrActs = Join({Range(0, 11), {14}, Range(16, 23), Range(25, 31), {64, 65, 68, 69},
                               Range(72, 75), {78, 79}});
const Codes BeyondTvActs = Join({Range(0, 11), {14}, Range(16, 23), Range(25, 31), Range(64, 69),
                                 Range(72, 79)});
const Codes QuillmarshActs = Join({Range(0, 11), {14}, Range(16, 28), {30, 31}, Range(64, 69),
                                   Range(72, 75)});
const Codes PointerActs = Range(0, 10);

enum class Mode { DialogOpen, QuillmarshActive, BeyondTvActive, WinDvrActive,
                  QuillmarshRuns, BeyondTvRuns, WinDvrRuns, NothingRuns };

const HWND Sentinel = reinterpret_cast<HWND>(0x1234);

class Routing : public ::testing::Test {
protected:
    InputRecorder recorder;
    HWND owner = nullptr;
    HWND quillmarsh = nullptr, beyondTv = nullptr, winDvr = nullptr, dialog = nullptr;
    POINT start = {};

    void SetUp() override {
        ProgramInstance = GetModuleHandleA(nullptr);
        owner = recorder.CreateWindowOf("MarlowRoutingOwner", "owner");
        DefaultAppSelector = SelectQuillmarsh;
        QuillmarshApp.installed = BeyondTvApp.installed = WinDvrApp.installed = 1;
        ScreenBounds = {0, 0, GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1,
                        6, 12};
        start = {GetSystemMetrics(SM_CXSCREEN) / 3, GetSystemMetrics(SM_CYSCREEN) / 3};
    }

    void Enter(Mode mode) {
        recorder.DestroyWindows();
        owner = recorder.CreateWindowOf("MarlowRoutingOwner", "owner");
        quillmarsh = beyondTv = winDvr = dialog = nullptr;
        ShutdownDialogOpen = 0;
        if (mode == Mode::DialogOpen) {
            dialog = recorder.CreateWindowOf("MarlowRoutingDialog", "dialog");
            ShutdownDialogWindow = dialog;
        }
        if (mode == Mode::QuillmarshActive || mode == Mode::QuillmarshRuns)
            quillmarsh = recorder.CreateWindowOf("VarnelMainPanel_Class", "Quillmarsh");
        if (mode == Mode::BeyondTvActive || mode == Mode::BeyondTvRuns)
            beyondTv = recorder.CreateWindowOf("Streamzap.WM.D3D", "Beyond TV");
        if (mode == Mode::WinDvrActive || mode == Mode::WinDvrRuns) {
            winDvr = recorder.CreateWindowOf("MarlowRoutingPlayer", "InterVideo WinDVR 6");
            recorder.CreateWindowOf("MarlowRoutingPanel", "WinDVR 6 panel");
        }
    }

    void Reset(Mode mode) {
        ShutdownDialogOpen = mode == Mode::DialogOpen ? 1 : 0;
        QuillmarshApp.active = mode == Mode::QuillmarshActive;
        BeyondTvApp.active = mode == Mode::BeyondTvActive;
        WinDvrApp.active = mode == Mode::WinDvrActive;
        QuillmarshApp.targetWindow = BeyondTvApp.targetWindow = WinDvrApp.targetWindow = Sentinel;
        WinDvrApp.fastStep = 0;
        StepCounter = 0;
        POINT now;
        GetCursorPos(&now);
        if (now.x != start.x || now.y != start.y) SetCursorPos(start.x, start.y);
        recorder.Clear();
    }

    // What the code did, in a word; "nothing" when nothing at all happened.
    std::string Route(Mode mode, int code) {
        Reset(mode);
        RouteKey(code, owner);
        recorder.Pump();
        POINT now;
        GetCursorPos(&now);
        const bool moved = now.x != start.x || now.y != start.y;
        const bool looked = QuillmarshApp.targetWindow != Sentinel ||
                            BeyondTvApp.targetWindow != Sentinel ||
                            WinDvrApp.targetWindow != Sentinel;
        const bool adopted = mode >= Mode::QuillmarshRuns &&
                             (QuillmarshApp.active || BeyondTvApp.active || WinDvrApp.active);
        const bool toggled = WinDvrApp.fastStep != 0 || StepCounter != 0;
        if (recorder.Empty() && !moved && !looked && !toggled) return adopted ? "adopted" : "nothing";
        return adopted ? "adopted+acted" : "acted";
    }

    void ExpectModeActsOn(Mode mode, const Codes& acting, const Codes& skipped = {}) {
        Enter(mode);
        for (int code = -1; code <= 255; ++code) {
            if (skipped.count(code)) continue;
            const std::string outcome = Route(mode, code);
            const bool acts = acting.count(code) != 0;
            EXPECT_EQ(outcome != "nothing" && outcome != "adopted", acts)
                << "mode " << int(mode) << " code " << code << ": " << outcome << " "
                << recorder.Describe();
        }
    }
};

TEST_F(Routing, WithTheShutdownDialogOpenPowerConfirmsAndEveryOtherValueCancels) {
    Enter(Mode::DialogOpen);
    for (int code = -1; code <= 255; ++code) {
        Reset(Mode::DialogOpen);
        RouteKey(code, owner);
        ASSERT_EQ(recorder.messages.size(), 1u) << code;
        EXPECT_EQ(recorder.messages[0].window, dialog);
        EXPECT_EQ(recorder.messages[0].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(recorder.messages[0].wParam, code == PowerKey ? VK_RETURN : VK_ESCAPE) << code;
        EXPECT_EQ(recorder.messages[0].lParam, 0);
    }
}

TEST_F(Routing, QuillmarshActive) {
    ExpectModeActsOn(Mode::QuillmarshActive, Join({QuillmarshActs, {PowerKey, ShutdownKey}}));
    Reset(Mode::QuillmarshActive);
    RouteKey(ShutdownKey, owner);
    recorder.Pump();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].wParam, 5001u);
    Reset(Mode::QuillmarshActive);
    RouteKey(PowerKey, owner);  // its window exists: Power closes it
    recorder.Pump();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].wParam, 1u);
    EXPECT_EQ(QuillmarshApp.active, 0);
}

TEST_F(Routing, BeyondTvActive) {
    ExpectModeActsOn(Mode::BeyondTvActive, Join({BeyondTvActs, {PowerKey}}));
}

TEST_F(Routing, WinDvrActive) {
    ExpectModeActsOn(Mode::WinDvrActive, Join({WinDvrActs, {PowerKey}}));
}

// With no target, a running application is adopted by every key but Power
// and the three power keys, which do nothing while a TV window exists.
TEST_F(Routing, AdoptionOfEachRunningApplication) {
    struct Case { Mode mode; const Codes* acts; TvApplication* app; };
    for (const Case& c : {Case{Mode::QuillmarshRuns, &QuillmarshActs, &QuillmarshApp},
                          Case{Mode::BeyondTvRuns, &BeyondTvActs, &BeyondTvApp},
                          Case{Mode::WinDvrRuns, &WinDvrActs, &WinDvrApp}}) {
        Enter(c.mode);
        for (int code = 0; code <= 255; ++code) {
            if (code == PowerKey) continue;
            const std::string outcome = Route(c.mode, code);
            const bool powerKey = code == StandbyKey || code == ShutdownOrStandbyKey ||
                                  code == ShutdownKey;
            const std::string expected = powerKey             ? "nothing"
                                         : c.acts->count(code) ? "adopted+acted"
                                                               : "adopted";
            EXPECT_EQ(outcome, expected) << "mode " << int(c.mode) << " code " << code;
            if (!powerKey) {
                EXPECT_EQ(c.app->active, 1);
            }
        }
    }
}

TEST_F(Routing, NoApplicationAndNoWindowMeansThePointer) {
    // Power, standby (13, 24 with selector 6) and the dialog (29) are checked
    // end to end; here only that no other code does anything.
    ExpectModeActsOn(Mode::NothingRuns, PointerActs, {PowerKey, StandbyKey, ShutdownOrStandbyKey,
                                                      ShutdownKey});
}

VOID CALLBACK AnswerWithAnyKey(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!ShutdownDialogOpen) return;
    KillTimer(nullptr, timer);
    RouteKey(33, nullptr);  // as a nested tick would
}

TEST_F(Routing, ShutdownKeyOpensTheDialogThatANestedKeyCancels) {
    Enter(Mode::NothingRuns);
    for (int selector : {SelectQuillmarsh, SelectBeyondTv}) {
        DefaultAppSelector = selector;
        const int code = selector == SelectQuillmarsh ? ShutdownKey : ShutdownOrStandbyKey;
        Reset(Mode::NothingRuns);
        ShutdownDialogWindow = nullptr;
        SetTimer(nullptr, 0, 100, AnswerWithAnyKey);
        RouteKey(code, owner);  // returns once the dialog has ended
        EXPECT_NE(ShutdownDialogWindow, nullptr);
        EXPECT_EQ(ShutdownDialogOpen, 0);
        EXPECT_FALSE(IsWindow(ShutdownDialogWindow));
    }
    DefaultAppSelector = SelectWinDvr;
    Reset(Mode::NothingRuns);
    RouteKey(ShutdownKey, owner);  // only with Quillmarsh as the default
    EXPECT_EQ(ShutdownDialogOpen, 0);
}

}  // namespace
