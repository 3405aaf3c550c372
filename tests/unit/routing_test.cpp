// Routing as one table: every code, and the dropped repeat, in every mode,
// observed on real windows and in the recorded input. The sets of codes each
// destination acts on are the product's published key tables.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "InputRecorder.h"
#include "ReceiverDouble.h"
#include "apps/TvApplication.h"
#include "card/CaptureFilter.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "remote/KeyPoll.h"
#include "remote/KeyRouter.h"
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

constexpr int NoActionCode = 15;

enum class Mode { DialogOpen, QuillmarshActive, BeyondTvActive, WinDvrActive,
                  QuillmarshRuns, BeyondTvRuns, WinDvrRuns, NothingRuns };

const HWND Sentinel = reinterpret_cast<HWND>(0x1234);

// The receiver as a held key leaves it: one scripted read per tick, at its
// own time; no key once the script has run out.
struct Read {
    int code;
    DWORD at;
};
std::vector<Read> Script;
size_t NextRead = 0;
DWORD ScriptTime = 0;
ReceiverDouble ScriptedReceiver;
HWND TickOwner = nullptr;
int IdleTicksWithDialog = 0;

DWORD WINAPI ScriptClock() { return ScriptTime; }

void Hold(int code, DWORD from, int reads) {
    for (int i = 0; i < reads; ++i) Script.push_back({code, from + 65 * static_cast<DWORD>(i)});
}

bool ScriptDone() { return NextRead >= Script.size(); }

void Tick() {
    ScriptedReceiver.keepRequests = false;
    ReceiverControl = &ScriptedReceiver;
    if (ScriptDone()) {
        ScriptedReceiver.statusValue = 1;
    } else {
        ScriptedReceiver.statusValue = 0;
        ScriptedReceiver.received[0] = static_cast<BYTE>(Script[NextRead].code);
        ScriptTime = Script[NextRead].at;
        ++NextRead;
    }
    PollOnce(TickOwner, ScriptClock);
}

// The poll timer's ticks, which the modal loop of the dialog keeps running.
VOID CALLBACK TickTimer(HWND, UINT, UINT_PTR, DWORD) {
    Tick();
    // A dialog that nothing answers any more would hold the test for ever.
    if (ScriptDone() && ShutdownDialogOpen && ++IdleTicksWithDialog > 20 && ShutdownDialogWindow)
        EndDialog(ShutdownDialogWindow, 0);
}

int DialogsMade = 0;

LRESULT CALLBACK CountDialogs(int code, WPARAM wParam, LPARAM lParam) {
    char name[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) &&
        std::string(name) == "#32770")
        ++DialogsMade;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

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

TEST_F(Routing, WithTheShutdownDialogOpenPowerConfirmsAndEveryOtherKeyCancels) {
    Enter(Mode::DialogOpen);
    Reset(Mode::DialogOpen);
    RouteKey(SuppressedKey, owner);  // a repeat answers nothing
    EXPECT_TRUE(recorder.messages.empty()) << recorder.Describe();
    for (int code = 0; code <= 255; ++code) {
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

TEST_F(Routing, AdoptingWinDvrStartsWithTheSmallStep) {
    Enter(Mode::WinDvrRuns);
    Reset(Mode::WinDvrRuns);
    WinDvrApp.fastStep = 1;  // left over from an earlier time it was the target
    RouteKey(4, owner);
    EXPECT_EQ(WinDvrApp.active, 1);
    EXPECT_EQ(WinDvrApp.fastStep, 0);
}

// The user closed the target himself: the key goes where it would have gone
// had the application never been adopted.
TEST_F(Routing, ATargetWhoseWindowsAreGoneLetsGo) {
    Enter(Mode::NothingRuns);
    Reset(Mode::NothingRuns);
    QuillmarshApp.active = 1;
    QuillmarshApp.targetWindow = QuillmarshApp.seenWindow = nullptr;
    RouteKey(8, owner);  // the pointer goes down
    EXPECT_EQ(QuillmarshApp.active, 0);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.y, start.y + 1);

    Enter(Mode::WinDvrRuns);
    Reset(Mode::WinDvrRuns);
    BeyondTvApp.active = 1;
    BeyondTvApp.targetWindow = BeyondTvApp.seenWindow = nullptr;
    RouteKey(4, owner);  // another running application is adopted
    EXPECT_EQ(BeyondTvApp.active, 0);
    EXPECT_EQ(WinDvrApp.active, 1);
    recorder.Pump();
    ASSERT_EQ(recorder.messages.size(), 1u) << recorder.Describe();
    EXPECT_EQ(recorder.messages[0].window, winDvr);
    EXPECT_EQ(recorder.messages[0].wParam, static_cast<WPARAM>('5'));
}

TEST_F(Routing, ATargetWithOneWindowLeftStaysTheTarget) {
    Enter(Mode::NothingRuns);
    const HWND main = recorder.CreateWindowOf("SnapStream", "FormMainWindow");
    Reset(Mode::NothingRuns);
    BeyondTvApp.active = 1;  // its video window is gone, its main window not
    BeyondTvApp.targetWindow = BeyondTvApp.seenWindow = nullptr;
    RouteKey(8, owner);
    EXPECT_EQ(BeyondTvApp.active, 1);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.y, start.y);
    EXPECT_NE(main, nullptr);
}

TEST_F(Routing, NoApplicationAndNoWindowMeansThePointer) {
    // Power, standby (13, 24 with selector 6) and the dialog (29) are checked
    // end to end; here only that no other code does anything.
    ExpectModeActsOn(Mode::NothingRuns, PointerActs, {PowerKey, StandbyKey, ShutdownOrStandbyKey,
                                                      ShutdownKey});
}

TEST_F(Routing, APowerKeyHeldOnTheTargetClosesItOnce) {
    Enter(Mode::QuillmarshActive);
    Reset(Mode::QuillmarshActive);
    KeyRepeat = {};
    Script.clear();
    NextRead = 0;
    TickOwner = owner;
    Hold(PowerKey, 10000, 6);
    while (!ScriptDone()) Tick();
    recorder.Pump();
    int closes = 0;
    for (const Received& m : recorder.messages) closes += m.message == 4024 && m.wParam == 1;
    EXPECT_EQ(closes, 1) << recorder.Describe();
    ReceiverControl = nullptr;
}

// Off held with Beyond TV as the default: the dialog opens once, its own
// repeats do not answer it, a new key cancels it, and the poll goes on.
TEST_F(Routing, AHeldShutdownKeyOpensTheDialogOnceAndTheRemoteStillAnswersIt) {
    Enter(Mode::NothingRuns);
    Reset(Mode::NothingRuns);
    DefaultAppSelector = SelectBeyondTv;
    KeyRepeat = {};
    Script.clear();
    NextRead = 0;
    TickOwner = owner;
    IdleTicksWithDialog = 0;
    DialogsMade = 0;
    Hold(ShutdownOrStandbyKey, 20000, 5);
    Script.push_back({NoActionCode, 20000 + 5 * 65 + 300});
    HHOOK hook = SetWindowsHookExA(WH_CBT, CountDialogs, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 65, TickTimer);
    Tick();  // the first read opens the dialog; the timer reads the rest
    const DWORD deadline = GetTickCount() + 10000;
    MSG message;
    while (!ScriptDone() && GetTickCount() < deadline) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        else MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(ScriptDone());
    EXPECT_EQ(DialogsMade, 1);
    EXPECT_EQ(IdleTicksWithDialog, 0);  // the remote's own key ended it
    EXPECT_EQ(ShutdownDialogOpen, 0);

    Script.push_back({8, 30000});  // keys are routed again
    Tick();
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.y, start.y + 1);
    ReceiverControl = nullptr;
}

TEST_F(Routing, ADialogThatCannotBeMadeLeavesTheRemoteWorking) {
    Enter(Mode::NothingRuns);
    Reset(Mode::NothingRuns);
    ProgramInstance = GetModuleHandleA("kernel32.dll");  // has no template 107
    RouteKey(ShutdownKey, owner);
    ProgramInstance = GetModuleHandleA(nullptr);
    EXPECT_EQ(ShutdownDialogOpen, 0);
    RouteKey(8, owner);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.y, start.y + 1);
}

}  // namespace
