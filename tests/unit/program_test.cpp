// The running program: what its desktop does with the decisions' effects, on
// real windows and in the input seen by low-level hooks; its main window; one
// tick of its poll from the receiver to a window; and its message loop's
// accelerators.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <windows.h>
#include <dbt.h>  // after <windows.h>

#include "InputRecorder.h"
#include "ReceiverDouble.h"
#include "TestSupport.h"
#include "core/KeyNames.h"
#include "poll/KeyPoll.h"
#include "res/resource.h"
#include "shell/Program.h"
#include "shell/Settings.h"
#include "win32/WindowSearch.h"

namespace {

const core::Application& BeyondTv = core::ApplicationOf(core::AppId::BeyondTv);
const core::Application& WinDvr = core::ApplicationOf(core::AppId::WinDvr);

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
    TempFolder folder;  // goes after the program, which may hold a file in it
    Program program{GetModuleHandleA(nullptr)};
    InputRecorder recorder;
    HWND target = nullptr;

    void SetUp() override {
        program.system().messageBox = LogMessageBox;
        program.system().winExec = LogWinExec;
        program.system().setSystemPowerState = LogPowerState;
        SystemLog.clear();
        StartResult = 33;
        // Beyond TV's window that its keys go to, which a key adopts.
        target = recorder.CreateWindowOf(BeyondTv.keyTarget.windowClass, BeyondTv.name);
        recorder.Pump();
        recorder.Clear();
    }
};

struct EffectRow {
    const char* what;
    std::function<void(core::Windows&, core::WindowRef)> effect;
    const char* recorded;  // the recorder's description
};

// The keys typed to the window in front.
std::function<void(core::Windows&, core::WindowRef)> TypedToFront(std::vector<uint8_t> keys) {
    return [keys](core::Windows& d, core::WindowRef) { d.TypeToForeground(keys.data(), keys.size()); };
}

// Keys are typed with the extended-key flag (LLKHF_EXTENDED 1, LLKHF_UP 0x80,
// LLKHF_INJECTED 0x10).
const EffectRow EffectRows[] = {
    {"a posted key reaches the window with its lParam",
     [](core::Windows& d, core::WindowRef w) { d.Post(w, WM_KEYDOWN, 'M', 0x00320001); },
     "msg 256 w=77 l=0x00320001; "},
    {"a private command is posted as it is",
     [](core::Windows& d, core::WindowRef w) { d.Post(w, WM_USER + 3000, 5001, 0); },
     "msg 4024 w=5001 l=0x00000000; "},
    {"a sent key reaches the window",
     [](core::Windows& d, core::WindowRef w) { d.Send(w, WM_KEYDOWN, VK_ESCAPE, 0); },
     "msg 256 w=27 l=0x00000000; "},
    {"a chord is pressed in order and let go in reverse",
     [](core::Windows& d, core::WindowRef) {
         const uint8_t keys[] = {VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8};
         d.TypeChord(keys, sizeof keys);
     },
     "key 18 down f=17; key 17 down f=17; key 16 down f=17; key 119 down f=17; "
     "key 119 up f=145; key 16 up f=145; key 17 up f=145; key 18 up f=145; "},
    {"keys typed to the window in front carry the extended-key flag only where the key has it",
     TypedToFront({VK_CONTROL, VK_SHIFT, VK_RIGHT}),
     "key 17 down f=16; key 16 down f=16; key 39 down f=17; "
     "key 39 up f=145; key 16 up f=144; key 17 up f=144; "},
    {"a media key typed to the window in front is an extended key", TypedToFront({VK_MEDIA_PLAY_PAUSE}),
     "key 179 down f=17; key 179 up f=145; "},
    {"the keypad's Enter is Enter extended, as are its Divide, the menu key and Print Screen",
     TypedToFront({core::NumEnterKey, VK_DIVIDE, VK_APPS, VK_SNAPSHOT}),
     "key 13 down f=17; key 111 down f=17; key 93 down f=17; key 44 down f=17; "
     "key 44 up f=145; key 93 up f=145; key 111 up f=145; key 13 up f=145; "},
    {"the main Enter, the keypad's Multiply and Pause are not extended",
     TypedToFront({VK_RETURN, VK_MULTIPLY, VK_PAUSE}),
     "key 13 down f=16; key 106 down f=16; key 19 down f=16; key 19 up f=144; key 106 up f=144; key 13 up f=144; "},
    {"button events are one each",
     [](core::Windows& d, core::WindowRef) {
         d.Button(MOUSEEVENTF_RIGHTDOWN, {10, 10});
         d.Button(MOUSEEVENTF_RIGHTUP, {10, 10});
     },
     "mouse 516; mouse 517; "},
};

TEST_F(Shell, EachKindOfEffectDoesWhatItSays) {
    for (const EffectRow& row : EffectRows) {
        SCOPED_TRACE(row.what);
        recorder.Clear();
        row.effect(program.desktop(), Ref(target));
        recorder.Pump();
        EXPECT_EQ(recorder.Describe(), row.recorded);
    }
}

TEST_F(Shell, KeysTypedToTheWindowInFrontCarryTheirScanCodes) {
    const uint8_t keys[] = {VK_MENU, 'P', VK_HOME};
    program.desktop().TypeToForeground(keys, sizeof keys);
    recorder.Pump();
    ASSERT_EQ(recorder.keys.size(), 6u) << recorder.Describe();
    for (const KeyStroke& stroke : recorder.keys)
        EXPECT_EQ(stroke.scanCode, MapVirtualKeyA(stroke.vk, MAPVK_VK_TO_VSC)) << stroke.vk;
}

TEST_F(Shell, AnAppCommandIsSentAsAKeyboardsKeySendsIt) {
    program.desktop().SendAppCommand(Ref(target), APPCOMMAND_MEDIA_PLAY_PAUSE);
    ASSERT_EQ(recorder.messages.size(), 1u) << recorder.Describe();  // sent: there at once
    const Received& received = recorder.messages[0];
    EXPECT_EQ(received.window, target);
    EXPECT_EQ(received.message, static_cast<UINT>(WM_APPCOMMAND));
    EXPECT_EQ(received.wParam, reinterpret_cast<WPARAM>(target));
    EXPECT_EQ(received.lParam, MAKELPARAM(0, APPCOMMAND_MEDIA_PLAY_PAUSE | FAPPCOMMAND_KEY));
}

// A player whose thread has stopped taking its messages, until it is let go.
struct HungPlayer {
    const ScopedHandle made{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    const ScopedHandle letGo{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HWND window = nullptr;
};

DWORD WINAPI RunHungPlayer(void* argument) {
    HungPlayer& player = *static_cast<HungPlayer*>(argument);
    player.window = CreateWindowExA(0, "STATIC", "Hung player", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    SetEvent(player.made.Get());
    WaitForSingleObject(player.letGo.Get(), INFINITE);
    MSG message;  // what was sent meanwhile
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    DestroyWindow(player.window);
    return 0;
}

struct AppCommandCall {
    Win32Desktop* desktop;
    HWND window;
};

DWORD WINAPI SendTheAppCommand(void* argument) {
    const AppCommandCall& call = *static_cast<AppCommandCall*>(argument);
    call.desktop->SendAppCommand(Ref(call.window), APPCOMMAND_VOLUME_UP);
    return 0;
}

TEST_F(Shell, AnAppCommandToAHungPlayerReturns) {
    HungPlayer player;
    const ScopedHandle playerThread(CreateThread(nullptr, 0, RunHungPlayer, &player, 0, nullptr));
    ASSERT_EQ(WaitForSingleObject(player.made.Get(), 30000), WAIT_OBJECT_0);
    // From a thread of its own, so that a call that waits for the player
    // does not hold up the test.
    AppCommandCall call = {&program.desktop(), player.window};
    const ScopedHandle caller(CreateThread(nullptr, 0, SendTheAppCommand, &call, 0, nullptr));
    EXPECT_EQ(WaitForSingleObject(caller.Get(), 15000), WAIT_OBJECT_0) << "held up by the player";
    SetEvent(player.letGo.Get());
    WaitForSingleObject(caller.Get(), INFINITE);
    WaitForSingleObject(playerThread.Get(), INFINITE);
}

TEST_F(Shell, RaiseBringsTheWindowToTheFront) {
    HWND other = recorder.CreateWindowOf("MarlowOther", "Other");
    program.desktop().Raise(Ref(other));
    EXPECT_EQ(GetForegroundWindow(), other);
    program.desktop().Raise(Ref(target));
    EXPECT_EQ(GetForegroundWindow(), target);
}

TEST_F(Shell, ThePointerIsPlacedAndMovedBy) {
    recorder.blockMoves = false;
    program.desktop().SetCursor({200, 150});
    EXPECT_EQ(program.desktop().Cursor().x, 200);
    EXPECT_EQ(program.desktop().Cursor().y, 150);
    program.desktop().MoveBy(10, -10);
    recorder.Pump();
    const core::Point moved = program.desktop().Cursor();
    EXPECT_GT(moved.x, 200);
    EXPECT_LT(moved.y, 150);
}

TEST_F(Shell, StartsBoxesAndStandbyGoThroughTheSeam) {
    EXPECT_TRUE(program.desktop().Start("\"C:\\TV\\App.exe\""));
    StartResult = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(program.desktop().Start("\"C:\\TV\\Gone.exe\""));
    program.desktop().ShowMessage(core::Notice::ReinitializeSettings, MB_SETFOREGROUND);
    program.desktop().Standby();
    EXPECT_EQ(SystemLog, (std::vector<std::string>{
                             "exec \"C:\\TV\\App.exe\" 5", "exec \"C:\\TV\\Gone.exe\" 5",
                             "box 0 Please re-initialize the TV application settings. | "
                             "Marlow Remote Control 65536",
                             "power 1 1"}));
}

TEST_F(Shell, AWinExecResultOf31OrMoreIsAStart) {
    const std::string ran = std::string("exec \"C:\\TV\\") + WinDvr.executable + "\" 5";
    WriteMachineString(WinDvr.installKey, WinDvr.installValue, "C:\\TV");
    const char* const box =
        "box 0 Can't run launch TV application what you want. | Marlow Remote Control 0";
    struct Row {
        UINT result;
        bool started;
    };
    for (const Row& row : {Row{30, false}, Row{31, true}, Row{32, true}}) {
        SCOPED_TRACE(row.result);
        program.ReadInstallLocations();  // installed, and not the target
        SystemLog.clear();
        StartResult = row.result;
        program.power().Launch(core::AppId::WinDvr);
        EXPECT_EQ(program.power().Of(WinDvr.id).active, row.started);
        std::vector<std::string> expected{ran};
        if (!row.started) expected.push_back(box);
        EXPECT_EQ(SystemLog, expected);
    }
}

// -- the main window, made as start-up makes it under a class of the test's
// own, and the card, emulated, as it finds it late or again after a sleep

constexpr char CardEmulatorClass[] = "{532BC67E-DFFF-4EC3-94A7-AC349FD464EC}";
constexpr char CaptureDevices[] =
    "Software\\Classes\\CLSID\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\Instance";

// Registers the card emulator (beside this program) as the card's capture
// device, logging to log.
void PlugInTheCard(const std::string& log) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string emulator = self;
    emulator.replace(emulator.rfind('\\') + 1, std::string::npos, "CardEmulator.dll");
    const std::string server = std::string("Software\\Classes\\CLSID\\") + CardEmulatorClass;
    WriteMachineString((server + "\\InprocServer32").c_str(), "", emulator);
    WriteMachineString((server + "\\InprocServer32").c_str(), "ThreadingModel", "Both");
    const std::string device = std::string(CaptureDevices) + "\\0001";
    WriteMachineString(device.c_str(), "FriendlyName", "Philips Silicon (7171-35) WDM Video Capture");
    WriteMachineString(device.c_str(), "CLSID", CardEmulatorClass);
    WriteMachineString(device.c_str(), "Log", log);
}

// How many times the program opened the emulated card: a filter of it made.
int Opened(const std::string& log) {
    const std::string text = ReadWholeFile(log);
    int opened = 0;
    for (size_t at = text.find("\"ev\":\"load\""); at != std::string::npos;
         at = text.find("\"ev\":\"load\"", at + 1))
        ++opened;
    return opened;
}

// The program's hidden main window, made as start-up makes it, and ended.
class MainWindow : public Shell {
protected:
    const std::string cardLog = folder.path() + "\\card.log";
    HWND window = nullptr;

    void SetUp() override {
        Shell::SetUp();
        DeleteMachineKey(CaptureDevices);
        DeleteMachineKey(SettingsKeyPath);
        program.RegisterMainWindowClass("MarlowMainWindowUnderTest");
    }
    void Start() {
        ASSERT_TRUE(program.CreateMainWindow());
        window = program.window();
    }
    void TearDown() override {
        DestroyWindow(window);  // ends the program: the pump takes its quit message
        recorder.Pump();
        DeleteMachineKey(CaptureDevices);
        DeleteMachineKey(SettingsKeyPath);
    }
};

TEST_F(MainWindow, ADisplayChangeGivesThePointerTheNewScreensBounds) {
    Start();
    // Two changes, the first to a screen unlike this one: each must replace
    // all that the one before found.
    const core::ScreenBounds& b = program.pointer().bounds();
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
    EXPECT_EQ((std::vector<int>{b.minX, b.minY, b.maxX, b.maxY, b.smallStep, b.largeStep}),
              (std::vector<int>{0, 0, 639, 479, 4, 8}));
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_EQ((std::vector<int>{b.minX, b.minY, b.maxX, b.maxY, b.smallStep, b.largeStep}),
              (std::vector<int>{0, 0, 1023, 767, 6, 12}));
}

// Closes the tray menu once it shows.
bool MenuSeen = false;
VOID CALLBACK CloseTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu)) return;
    MenuSeen = true;
    KillTimer(nullptr, timer);
    EndMenu();
}

TEST_F(MainWindow, ACardFoundAfterStartMakesATrayClickOpenTheMenu) {
    Start();  // no card
    PlugInTheCard(cardLog);
    SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    ASSERT_EQ(Opened(cardLog), 1);
    MenuSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseTheMenu);
    SendMessageA(window, TrayCallbackMessage, 0, WM_LBUTTONDOWN);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(MenuSeen);
    EXPECT_EQ(SystemLog, std::vector<std::string>{});  // no box says the card is missing
}

TEST_F(MainWindow, AWakeWithNobodyAtThePcOpensTheCardAgainAfterASecond) {
    PlugInTheCard(cardLog);
    Start();
    ASSERT_EQ(Opened(cardLog), 1);
    SendMessageA(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    // Alone, as after a wake that Windows scheduled.
    SendMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    PumpUntilTimer(500);
    EXPECT_EQ(Opened(cardLog), 1) << "opened again before the driver had its second";
    EXPECT_TRUE(PumpUntil([this] { return Opened(cardLog) == 2; }, 20000)) << "not opened again";
}

// -- one tick of the poll, through the shell, to a real window

TEST_F(Shell, ATickReadsAKeyOnlyWhenOneIsReadyAndHandsItToTheAdoptedApplication) {
    // Without a control interface (no card) a tick reads no key: a key read,
    // even a failed one (255), would adopt the application whose window is here.
    PollOnce(nullptr, program.router(), program.link(), GetTickCount());
    recorder.Pump();
    EXPECT_FALSE(program.power().Of(BeyondTv.id).active);
    EXPECT_EQ(program.repeat().lastKeyTime(), 0u);

    ReceiverDouble receiver;
    receiver.statusValue = 1;
    PollOnce(&receiver, program.router(), program.link(), GetTickCount());
    EXPECT_EQ(receiver.requests.size(), 1u);

    receiver.statusValue = 0;
    receiver.received[0] = 20;  // Mute
    PollOnce(&receiver, program.router(), program.link(), GetTickCount());
    recorder.Pump();
    EXPECT_EQ(receiver.requests.size(), 3u);
    EXPECT_EQ(recorder.Describe(), "msg 256 w=77 l=0x00000000; ");
    EXPECT_TRUE(program.power().Of(BeyondTv.id).active);
}

// -- a key through a profile of the file, with "Profiles" and "ShowKeys" on

const char* const PlayerClasses[] = {"MarlowPlayerUnderTest"};
const core::KeyAction PlayerRows[] = {
    core::Type(RemoteKey::Play, 'P'),
    core::AppCommand(RemoteKey::VolumeUp, APPCOMMAND_VOLUME_UP),
};
const core::Profile Player = {"Test Player", {nullptr, 0}, {PlayerClasses, 1}, {nullptr, 0},
                              {PlayerRows, std::size(PlayerRows)}};

TEST_F(Shell, AKeyOfTheWindowInFrontsProfileActsThereAndIsShown) {
    DeleteMachineKey(SettingsKeyPath);
    WriteMachineDword(SettingsKeyPath, core::DefaultAppValue, WinDvr.selector);
    WriteMachineDword(SettingsKeyPath, core::ProfilesValue, 1);
    WriteMachineDword(SettingsKeyPath, core::ShowKeysValue, 1);
    ASSERT_TRUE(program.ReadSettings());
    program.profiles().UseFolder(folder.path().c_str());
    const std::string own = folder.path() + "\\Marlow Remote Control";
    CreateDirectoryA(own.c_str(), nullptr);
    WriteWholeFile(own + "\\profiles.ini", core::WriteProfiles({&Player, 1}));

    recorder.DestroyWindows();  // no TV application to adopt
    HWND player = recorder.CreateWindowOf("MarlowPlayerUnderTest", "Player");
    SetForegroundWindow(player);
    recorder.Pump();
    recorder.Clear();

    program.router().OnRead(Code(RemoteKey::Play));
    recorder.Pump();
    EXPECT_EQ(recorder.Describe(), "key 80 down f=16; key 80 up f=144; ");
    HWND display = program.keyDisplay().window();
    ASSERT_NE(display, nullptr);
    char shown[64] = {};
    GetWindowTextA(display, shown, sizeof shown);
    EXPECT_STREQ(shown, "Test Player: Play");

    recorder.Clear();
    program.router().OnRead(Code(RemoteKey::VolumeUp));
    ASSERT_EQ(recorder.messages.size(), 1u) << recorder.Describe();
    EXPECT_EQ(recorder.messages[0].window, player);
    EXPECT_EQ(recorder.messages[0].lParam, MAKELPARAM(0, APPCOMMAND_VOLUME_UP));
    GetWindowTextA(display, shown, sizeof shown);
    EXPECT_STREQ(shown, "Test Player: Vol+");
    DeleteMachineKey(SettingsKeyPath);
}

// Alt+/ and Alt+? typed on the keyboard, through the program's message loop
// and accelerator table.
std::vector<WORD> Commands;

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        Commands.push_back(LOWORD(wParam));
        if (Commands.size() == 2) PostQuitMessage(0);
        return 0;
    }
    if (message == WM_SYSCOMMAND) return 0;  // no menu loop on a lone Alt
    return DefWindowProcA(window, message, wParam, lParam);
}

VOID CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }

void Type(std::initializer_list<BYTE> keys) {
    for (BYTE key : keys) keybd_event(key, 0, 0, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

TEST(Accelerators, AltSlashOpensAboutAndAltQuestionMarkSettings) {
    const Program program(GetModuleHandleA(nullptr));
    HWND window = CreateTopLevelWindow("MarlowAcceleratorTarget", "keys", CommandWindowProc,
                                       WS_POPUP | WS_VISIBLE);
    SetForegroundWindow(window);
    SetFocus(window);
    Type({VK_MENU, VK_OEM_2});            // Alt+/
    Type({VK_MENU, VK_SHIFT, VK_OEM_2});  // Alt+?
    const UINT_PTR timer = SetTimer(nullptr, 0, 5000, GiveUp);
    program.RunMessageLoop();
    KillTimer(nullptr, timer);
    DestroyWindow(window);
    EXPECT_EQ(Commands, (std::vector<WORD>{IDM_ABOUT, IDM_SETTINGS}));
}


}  // namespace
