// The Settings dialog's list and choice, the shutdown dialog's own controls,
// dialog placement and the accelerators, on real dialogs made from the
// program's own templates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/State.h"
#include "power/Shutdown.h"
#include "res/resource.h"
#include "shell/Dialogs.h"
#include "win32/WindowSearch.h"
#include "shell/Program.h"
#include "shell/Settings.h"

namespace {

std::vector<std::string> Boxes;
int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
    Boxes.push_back(std::string(caption) + ": " + text);
    return IDOK;
}

class SettingsDialog : public ::testing::Test {
protected:
    HWND dialog = nullptr;
    core::State state;
    SystemCalls system;
    SettingsDialogContext context{state, system};

    void SetUp() override {
        DeleteMachineKey(SettingsKeyPath);
        Install(true, true, true);
        Boxes.clear();
        system.messageBox = RecordBox;  // a failed store reports in a box
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
        DeleteMachineKey(SettingsKeyPath);
    }
    void Install(bool quillmarsh, bool beyondTv, bool winDvr) {
        state.Of(core::AppId::Quillmarsh).installed = quillmarsh;
        state.Of(core::AppId::BeyondTv).installed = beyondTv;
        state.Of(core::AppId::WinDvr).installed = winDvr;
    }
    void Open() {
        if (dialog) DestroyWindow(dialog);
        dialog = CreateSettingsDialog(GetModuleHandleA(nullptr), nullptr, context);
        ASSERT_NE(dialog, nullptr);
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        const LRESULT count = SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[64] = {};
            SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETLBTEXT, i,
                                reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    LRESULT Selection() const {
        return SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETCURSEL, 0, 0);
    }
    void Select(int position) {
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_SETCURSEL, position, 0);
    }
    void Press(int button) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }
    static DWORD Stored() {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!ReadMachineValue(SettingsKeyPath, DefaultAppValue, type, data) || data.size() != 4)
            return 0;
        return *reinterpret_cast<DWORD*>(data.data());
    }
};

TEST_F(SettingsDialog, ListsInstalledApplicationsAndSelectsTheDefault) {
    Install(0, 1, 1);
    state.settings.defaultSelector = 8;
    Open();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"SnapStream", "WinDVR 6"}));
    EXPECT_EQ(Selection(), 1);
}

TEST_F(SettingsDialog, OkStoresOnlyAChangedChoice) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    EXPECT_EQ(Selection(), 0);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 99);  // a write would show
    Press(IDOK);
    EXPECT_EQ(Stored(), 99u);
    EXPECT_EQ(state.settings.defaultSelector, 6);

    Open();
    Select(2);
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, 8);
    EXPECT_EQ(Stored(), 8u);
}

TEST_F(SettingsDialog, TheMediaKeysBoxShowsTheSettingAndIsStoredOnlyWhenChanged) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    state.settings.mediaKeys = true;
    Open();
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MEDIA_KEYS), BST_CHECKED);
    Press(IDOK);  // unchanged: nothing written
    DWORD type;
    std::vector<BYTE> data;
    EXPECT_FALSE(ReadMachineValue(SettingsKeyPath, MediaKeysValue, type, data));

    Open();
    SendDlgItemMessageA(dialog, IDC_MEDIA_KEYS, BM_CLICK, 0, 0);
    Press(IDOK);
    EXPECT_FALSE(state.settings.mediaKeys);
    ASSERT_TRUE(ReadMachineValue(SettingsKeyPath, MediaKeysValue, type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, (std::vector<BYTE>{0, 0, 0, 0}));

    core::Settings read;  // what the next start reads
    LoadSettings(read);
    EXPECT_FALSE(read.mediaKeys);
}

TEST_F(SettingsDialog, AChoiceThatCannotBeStoredIsReportedFromTheDialog) {
    DeleteMachineKey(SettingsKeyPath);  // gone meanwhile: the store fails
    Open();
    SendDlgItemMessageA(dialog, IDC_MEDIA_KEYS, BM_CLICK, 0, 0);
    Press(IDOK);
    EXPECT_EQ(Boxes, (std::vector<std::string>{"Marlow Remote Control: Can't save the settings."}));
}

TEST_F(SettingsDialog, EscapeChangesNothing) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    Select(1);
    Press(IDCANCEL);
    EXPECT_EQ(state.settings.defaultSelector, 6);
    EXPECT_EQ(Stored(), 6u);
    EXPECT_EQ(state.settings.listIndex, 0);
}

TEST_F(SettingsDialog, UninstalledDefaultSelectsTheFirstEntryAndOkAdoptsIt) {
    Install(0, 1, 1);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    EXPECT_EQ(Selection(), 0);
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, 7);
    EXPECT_EQ(Stored(), 7u);
}

TEST_F(SettingsDialog, RemembersThePositionWhenTheSelectorMatchesNoEntry) {
    state.settings.defaultSelector = 5;
    Open();
    Select(2);
    Press(IDOK);
    EXPECT_EQ(state.settings.listIndex, 2);
    state.settings.defaultSelector = 5;
    Open();
    EXPECT_EQ(Selection(), 2);
}

TEST_F(SettingsDialog, AnEmptyListChangesNothing) {
    Install(0, 0, 0);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    EXPECT_TRUE(Entries().empty());
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, 6);
    EXPECT_EQ(Stored(), 6u);
}

TEST_F(SettingsDialog, AValueDeletedMeanwhileIsNotCreated) {
    Open();
    DeleteMachineKey(SettingsKeyPath);
    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 0);
    Select(1);
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, 7);
    EXPECT_EQ(Stored(), 0u);
}

struct Place {
    int width;
    int x;
    int y;
};

TEST(Placement, EachListedWidthHasItsPlaceAndOthersStayWhereTheyAre) {
    const Place places[] = {{640, 160, 200}, {800, 280, 250}, {1024, 350, 300},
                            {1152, 420, 300}, {1280, 420, 300}, {1600, 580, 340}};
    for (const Place& place : places) {
        TestWindow window("MarlowPlacement", "placed");
        PlaceDialogForWidth(window.handle(), place.width);
        RECT rect;
        GetWindowRect(window.handle(), &rect);
        EXPECT_EQ(rect.left, place.x) << place.width;
        EXPECT_EQ(rect.top, place.y) << place.width;
        EXPECT_TRUE(GetWindowLongA(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << place.width;
    }
    for (int width : {1023, 1366, 1920}) {
        TestWindow window("MarlowPlacement", "placed");
        SetWindowPos(window.handle(), HWND_NOTOPMOST, 5, 6, 0, 0, SWP_NOSIZE);
        PlaceDialogForWidth(window.handle(), width);
        RECT rect;
        GetWindowRect(window.handle(), &rect);
        EXPECT_EQ(rect.left, 5) << width;
        EXPECT_EQ(rect.top, 6) << width;
        EXPECT_FALSE(GetWindowLongA(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << width;
    }
}

// The shutdown dialog answered by its own controls and by the remote's two
// keys, as a user or a nested poll tick would, while it runs modally.
int Confirmations = 0;
BOOL ShutdownResult = TRUE;  // what ExitWindowsEx answers
BOOL WINAPI CountConfirmation(UINT, DWORD) {
    ++Confirmations;
    return ShutdownResult;
}
void (*Answer)(HWND dialog) = nullptr;
int TicksWaited = 0;
core::State* DialogState = nullptr;

HWND DialogWindow() { return reinterpret_cast<HWND>(DialogState->shutdownDialog); }

VOID CALLBACK AnswerTheDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    if (++TicksWaited > 100) {  // nothing answered it: end the test's wait
        KillTimer(nullptr, timer);
        if (DialogWindow()) EndDialog(DialogWindow(), -2);
        return;
    }
    if (!DialogState->shutdownDialogOpen || DialogWindow() == nullptr ||
        !IsWindowVisible(DialogWindow()))
        return;
    KillTimer(nullptr, timer);
    Answer(DialogWindow());
}

class ShutdownDialog : public ::testing::Test {
protected:
    core::State state;
    SystemCalls system;
    void SetUp() override {
        system.exitWindowsEx = CountConfirmation;
        system.messageBox = RecordBox;
        Boxes.clear();
        ShutdownResult = TRUE;
        DialogState = &state;
        Confirmations = 0;
        TicksWaited = 0;
    }
    // Runs the dialog until it ends; true when it was answered in time.
    bool Run(void (*answer)(HWND)) {
        Answer = answer;
        TicksWaited = 0;
        state.shutdownDialogOpen = true;
        state.shutdownDialog = 0;
        SetTimer(nullptr, 0, 50, AnswerTheDialog);
        ShutdownDialogContext context{state, system};
        const bool made = RunShutdownDialog(GetModuleHandleA(nullptr), nullptr, context);
        return made && TicksWaited <= 100 && !state.shutdownDialogOpen;
    }
};

TEST_F(ShutdownDialog, OkAndThePowerKeyConfirm) {
    ASSERT_TRUE(Run([](HWND d) { SendDlgItemMessageA(d, IDOK, BM_CLICK, 0, 0); }));
    EXPECT_EQ(Confirmations, 1);
    ASSERT_TRUE(Run([](HWND d) { SendMessageA(d, WM_KEYDOWN, VK_RETURN, 0); }));
    EXPECT_EQ(Confirmations, 2);
}

TEST_F(ShutdownDialog, CancelEscapeTheCloseBoxAndAnyOtherKeyCancel) {
    ASSERT_TRUE(Run([](HWND d) { SendDlgItemMessageA(d, IDCANCEL, BM_CLICK, 0, 0); }));
    // Escape typed on the keyboard reaches the focused button.
    ASSERT_TRUE(Run([](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }));
    ASSERT_TRUE(Run([](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    ASSERT_TRUE(Run([](HWND d) { SendMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0); }));
    EXPECT_EQ(Confirmations, 0);
}

TEST_F(ShutdownDialog, ARefusedShutdownIsReportedInABox) {
    ShutdownResult = FALSE;
    ASSERT_TRUE(Run([](HWND d) { SendDlgItemMessageA(d, IDOK, BM_CLICK, 0, 0); }));
    EXPECT_EQ(Confirmations, 1);
    EXPECT_EQ(Boxes,
              (std::vector<std::string>{"Marlow Remote Control: Can't run ExitWindowsEx."}));
}

// Takes the shutdown privilege out of this process's token for good; true
// when enabling it is then refused, as for a user without the right.
bool RemoveShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_REMOVED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const bool refused = GetLastError() == ERROR_NOT_ALL_ASSIGNED;
    CloseHandle(token);
    return refused;
}

TEST_F(ShutdownDialog, WithoutTheShutdownPrivilegeConfirmingTriesNothingAndShowsNothing) {
    // In a process of its own, which ends with 0 when nothing was tried or
    // shown, 1 when something was, 2 when the privilege could not be taken
    // and 3 when the dialog was not confirmed.
    EXPECT_EXIT(
        {
            if (!RemoveShutdownPrivilege()) std::exit(2);
            if (!Run([](HWND d) { SendDlgItemMessageA(d, IDOK, BM_CLICK, 0, 0); })) std::exit(3);
            std::exit(Confirmations == 0 && Boxes.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ShutdownDialog, ADialogThatCannotBeMadeSaysSo) {
    ShutdownDialogContext context{state, system};
    EXPECT_FALSE(RunShutdownDialog(GetModuleHandleA("kernel32.dll"), nullptr, context));  // no template 107
    EXPECT_EQ(Confirmations, 0);
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
    RunMessageLoop(program);
    KillTimer(nullptr, timer);
    DestroyWindow(window);
    EXPECT_EQ(Commands, (std::vector<WORD>{IDM_ABOUT, IDM_SETTINGS}));
}

}  // namespace
