// What the shell does with the decisions' effects, on real windows and in the
// input seen by low-level hooks; the window lookups on real windows; and one
// poll tick from the receiver to a window.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "InputRecorder.h"
#include "ReceiverDouble.h"
#include "TestSupport.h"
#include "remote/KeyPoll.h"
#include "shell/Program.h"
#include "win32/WindowSearch.h"

namespace {

core::WindowRef Ref(HWND window) { return reinterpret_cast<core::WindowRef>(window); }

// What the seam's stand-ins were asked to do, one line per call.
std::vector<std::string> SystemLog;
UINT StartResult = 33;

int WINAPI LogMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    SystemLog.push_back("box " + std::to_string(owner != nullptr) + " " + text + " | " + caption +
                        " " + std::to_string(style));
    return IDOK;
}
UINT WINAPI LogWinExec(LPCSTR commandLine, UINT show) {
    SystemLog.push_back(std::string("exec ") + commandLine + " " + std::to_string(show));
    return StartResult;
}
BOOL WINAPI LogPowerState(BOOL suspend, BOOL force) {
    SystemLog.push_back("power " + std::to_string(suspend) + " " + std::to_string(force));
    return TRUE;
}

class Shell : public ::testing::Test {
protected:
    Program program{GetModuleHandleA(nullptr)};
    InputRecorder recorder;
    HWND target = nullptr;

    void SetUp() override {
        program.system.messageBox = LogMessageBox;
        program.system.winExec = LogWinExec;
        program.system.setSystemPowerState = LogPowerState;
        SystemLog.clear();
        StartResult = 33;
        target = recorder.CreateWindowOf("Streamzap.WM.D3D", "Beyond TV");
        recorder.Pump();
        recorder.Clear();
    }
};

struct EffectRow {
    const char* what;
    std::function<void(core::Desktop&, core::WindowRef)> effect;
    const char* recorded;  // the recorder's description
};

// Keys are typed with the extended-key flag (LLKHF_EXTENDED 1, LLKHF_UP 0x80,
// LLKHF_INJECTED 0x10).
const EffectRow EffectRows[] = {
    {"a posted key reaches the window with its lParam",
     [](core::Desktop& d, core::WindowRef w) { d.Post(w, WM_KEYDOWN, 'M', 0x00320001); },
     "msg 256 w=77 l=0x00320001; "},
    {"a private command is posted as it is",
     [](core::Desktop& d, core::WindowRef w) { d.Post(w, WM_USER + 3000, 5001, 0); },
     "msg 4024 w=5001 l=0x00000000; "},
    {"a sent key reaches the window",
     [](core::Desktop& d, core::WindowRef w) { d.Send(w, WM_KEYDOWN, VK_ESCAPE, 0); },
     "msg 256 w=27 l=0x00000000; "},
    {"a chord is pressed in order and let go in reverse",
     [](core::Desktop& d, core::WindowRef) {
         const uint8_t keys[] = {VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8};
         d.TypeChord(keys, sizeof keys);
     },
     "key 18 down f=17; key 17 down f=17; key 16 down f=17; key 119 down f=17; "
     "key 119 up f=145; key 16 up f=145; key 17 up f=145; key 18 up f=145; "},
    {"button events are one each",
     [](core::Desktop& d, core::WindowRef) {
         d.Button(MOUSEEVENTF_RIGHTDOWN, {10, 10});
         d.Button(MOUSEEVENTF_RIGHTUP, {10, 10});
     },
     "mouse 516; mouse 517; "},
};

TEST_F(Shell, EachKindOfEffectDoesWhatItSays) {
    for (const EffectRow& row : EffectRows) {
        SCOPED_TRACE(row.what);
        recorder.Clear();
        row.effect(program.desktop, Ref(target));
        recorder.Pump();
        EXPECT_EQ(recorder.Describe(), row.recorded);
    }
}

TEST_F(Shell, RaiseBringsTheWindowToTheFront) {
    HWND other = recorder.CreateWindowOf("MarlowOther", "Other");
    program.desktop.Raise(Ref(other));
    EXPECT_EQ(GetForegroundWindow(), other);
    program.desktop.Raise(Ref(target));
    EXPECT_EQ(GetForegroundWindow(), target);
}

TEST_F(Shell, ThePointerIsPlacedAndMovedBy) {
    recorder.blockMoves = false;
    program.desktop.SetCursor({200, 150});
    EXPECT_EQ(program.desktop.Cursor().x, 200);
    EXPECT_EQ(program.desktop.Cursor().y, 150);
    program.desktop.MoveBy(10, -10);
    recorder.Pump();
    const core::Point moved = program.desktop.Cursor();
    EXPECT_GT(moved.x, 200);
    EXPECT_LT(moved.y, 150);
}

TEST_F(Shell, StartsBoxesAndStandbyGoThroughTheSeam) {
    EXPECT_TRUE(program.desktop.Start("\"C:\\TV\\App.exe\""));
    StartResult = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(program.desktop.Start("\"C:\\TV\\Gone.exe\""));
    program.desktop.ShowMessage("Please re-initialize the TV application settings.", MB_SETFOREGROUND);
    program.desktop.Standby();
    EXPECT_EQ(SystemLog, (std::vector<std::string>{
                             "exec \"C:\\TV\\App.exe\" 5", "exec \"C:\\TV\\Gone.exe\" 5",
                             "box 0 Please re-initialize the TV application settings. | "
                             "Marlow Remote Control 65536",
                             "power 1 1"}));
}

TEST_F(Shell, AWinExecResultOf31OrMoreIsAStart) {
    const char* const ran = "exec \"C:\\TV\\WinDVR.exe\" 5";
    const char* const box =
        "box 0 Can't run launch TV application what you want. | Marlow Remote Control 0";
    struct Row {
        UINT result;
        bool started;
    };
    for (const Row& row : {Row{30, false}, Row{31, true}, Row{32, true}}) {
        SCOPED_TRACE(row.result);
        core::ApplicationState& winDvr = program.state.Of(core::AppId::WinDvr);
        winDvr = {};
        winDvr.installed = true;
        lstrcpyA(winDvr.installPath, "C:\\TV");
        SystemLog.clear();
        StartResult = row.result;
        program.remote.Launch(core::AppId::WinDvr);
        EXPECT_EQ(winDvr.active, row.started);
        std::vector<std::string> expected{ran};
        if (!row.started) expected.push_back(box);
        EXPECT_EQ(SystemLog, expected);
    }
}

// -- the main window, made as start-up makes it, under a class of the test's own

TEST_F(Shell, ADisplayChangeGivesThePointerTheNewScreensBounds) {
    lstrcpynA(program.windowClass, "MarlowMainWindowUnderTest", TitleBufferSize);
    RegisterMainWindowClass(program);
    HWND window = CreateWindowExA(0, program.windowClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                  nullptr, nullptr, program.instance, &program);
    ASSERT_NE(window, nullptr);
    // Not what creation found on this screen: the change must replace it all.
    program.state.pointer.bounds = {9, 9, 9, 9, 9, 9};
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    const core::ScreenBounds& b = program.state.pointer.bounds;
    EXPECT_EQ((std::vector<int>{b.minX, b.minY, b.maxX, b.maxY, b.smallStep, b.largeStep}),
              (std::vector<int>{0, 0, 1023, 767, 6, 12}));
    DestroyWindow(window);  // ends the program: the pump takes its quit message
    recorder.Pump();
}

// -- window lookups by identity, on real windows

// True when first lies in front of second in the desktop's Z order.
bool InFront(HWND first, HWND second) {
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr;
         w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == first) return true;
        if (w == second) return false;
    }
    return false;
}

// Each lookup's window lies behind decoys, each of which a lookup that
// compares the wrong way would find first: a window of another class with
// the same title, a title that differs in letter case only, one that holds
// the text further in, and one that goes on after it.
TEST(WindowSearch, EachLookupPassesOverTheDecoysInFrontOfItsWindow) {
    // Made from the back to the front: each new window goes in front.
    TestWindow exact("MarlowVideo", "InterVideo WinDVR 6");
    TestWindow panel("MarlowPanel", "WinDVR 6 - Live");
    TestWindow own("MarlowOwnClass", "FormMainWindow - Own");
    TestWindow ownOtherTitle("MarlowOwnClass", "formMainWindow - Own");
    TestWindow otherClassSameTitle("MarlowLookAlike", "FormMainWindow - Own");
    TestWindow otherCase("MarlowLookAlike", "winDVR 6 - Live");
    TestWindow furtherIn("MarlowLookAlike", "Old WinDVR 6 - Live");
    TestWindow exactOtherCase("MarlowLookAlike", "intervideo windvr 6");
    TestWindow goesOn("MarlowLookAlike", "InterVideo WinDVR 6 (old)");
    ASSERT_TRUE(InFront(goesOn.handle(), exact.handle()));  // the decoys lie in front
    ASSERT_TRUE(InFront(furtherIn.handle(), panel.handle()));

    struct Row {
        const char* what;
        core::WindowIdentity identity;
        HWND found;
    };
    const Row rows[] = {
        {"the whole title, exactly", core::ByExactTitle("InterVideo WinDVR 6"), exact.handle()},
        {"a beginning, case-sensitive", core::ByTitlePrefix("WinDVR 6"), panel.handle()},
        {"a beginning among the class's windows",
         core::ByClassAndTitlePrefix("MarlowOwnClass", "FormMainWindow"), own.handle()},
        {"FindWindow by class", core::FoundByClass("MarlowPanel"), panel.handle()},
        {"FindWindowEx by class", core::DesktopChildOfClass("MarlowOwnClass"),
         ownOtherTitle.handle()},
        {"FindWindowEx by class, none", core::DesktopChildOfClass("MarlowNoSuchClass"), nullptr},
        // Windows compares a class name and, in FindWindow and
        // FindWindowEx, a whole title without regard to letter case.
        {"FindWindow by class, any case", core::FoundByClass("marlowpanel"), panel.handle()},
        {"FindWindowEx by the whole title, any case",
         core::DesktopChildTitled("InterVideo WinDVR 6"), exactOtherCase.handle()},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FindWindowByIdentity(row.identity), row.found) << row.what;
}

// -- one tick of the poll, through the shell, to a real window

TEST_F(Shell, ATickReadsAKeyOnlyWhenOneIsReadyAndHandsItToTheAdoptedApplication) {
    // Without a control interface (no card) a tick reads no key: a key read,
    // even a failed one (255), would adopt the application whose window is here.
    PollOnce(nullptr, program.remote, program.link, GetTickCount());
    recorder.Pump();
    EXPECT_FALSE(program.state.Of(core::AppId::BeyondTv).active);
    EXPECT_EQ(program.state.repeat.lastKeyTime, 0u);

    ReceiverDouble receiver;
    receiver.statusValue = 1;
    PollOnce(&receiver, program.remote, program.link, GetTickCount());
    EXPECT_EQ(receiver.requests.size(), 1u);

    receiver.statusValue = 0;
    receiver.received[0] = 20;  // Mute
    PollOnce(&receiver, program.remote, program.link, GetTickCount());
    recorder.Pump();
    EXPECT_EQ(receiver.requests.size(), 3u);
    EXPECT_EQ(recorder.Describe(), "msg 256 w=77 l=0x00000000; ");
    EXPECT_TRUE(program.state.Of(core::AppId::BeyondTv).active);
}

}  // namespace
