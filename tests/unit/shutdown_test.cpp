// The shutdown dialog that the remote answers, made from the program's own
// template and run as the remote runs it, and the shutdown it confirms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "power/Shutdown.h"
#include "shell/Program.h"

namespace {

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
const core::ShutdownAnswer* DialogState = nullptr;
bool OpenAfterAnswer = true;  // the flag just after a key sent to the dialog

HWND DialogWindow() { return reinterpret_cast<HWND>(DialogState->Dialog()); }

VOID CALLBACK AnswerTheDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    if (++TicksWaited > 100) {  // nothing answered it: end the test's wait
        KillTimer(nullptr, timer);
        if (DialogWindow()) EndDialog(DialogWindow(), -2);
        return;
    }
    if (!DialogState->IsOpen() || DialogWindow() == nullptr ||
        !IsWindowVisible(DialogWindow()))
        return;
    KillTimer(nullptr, timer);
    Answer(DialogWindow());
    OpenAfterAnswer = DialogState->IsOpen();
}

class ShutdownDialog : public ::testing::Test {
protected:
    Program program{GetModuleHandleA(nullptr)};
    void SetUp() override {
        program.system().exitWindowsEx = CountConfirmation;
        program.system().messageBox = RecordBox;
        Boxes.clear();
        ShutdownResult = TRUE;
        DialogState = &program.shutdown();
        Confirmations = 0;
        TicksWaited = 0;
    }
    // Runs the dialog as the remote does until it ends; true when it was
    // made and answered in time.
    bool Run(void (*answer)(HWND)) {
        Answer = answer;
        TicksWaited = 0;
        OpenAfterAnswer = true;
        SetTimer(nullptr, 0, 50, AnswerTheDialog);
        program.shutdown().ShowShutdownDialog();
        return DialogWindow() != nullptr && TicksWaited <= 100 && !DialogState->IsOpen();
    }
};

TEST_F(ShutdownDialog, OkAndThePowerKeyConfirm) {
    ASSERT_TRUE(Run([](HWND d) { SendDlgItemMessageA(d, IDOK, BM_CLICK, 0, 0); }));
    EXPECT_EQ(Confirmations, 1);
    ASSERT_TRUE(Run([](HWND d) { SendMessageA(d, WM_KEYDOWN, VK_RETURN, 0); }));
    EXPECT_EQ(Confirmations, 2);
    // The dialog's end itself gives the keys back to the router.
    EXPECT_FALSE(OpenAfterAnswer);
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
    ShutdownDialogContext context{program.shutdown(), program.system()};
    DebugOutput trace;
    EXPECT_FALSE(RunShutdownDialog(GetModuleHandleA("kernel32.dll"), nullptr, context));  // no template 107
    EXPECT_EQ(Confirmations, 0);
    // One line, naming the dialog and why: ERROR_RESOURCE_TYPE_NOT_FOUND, kernel32 has no dialogs.
    EXPECT_EQ(trace.With({"Marlow Remote Control: ", "shutdown dialog", "(0x00000715)"}).size(), 1u)
        << ::testing::PrintToString(trace.lines);
}

}  // namespace
