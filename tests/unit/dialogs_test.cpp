// The Settings dialog's list and choice, and dialog placement, on real
// dialogs made from the program's own templates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "apps/TvApplication.h"
#include "res/resource.h"
#include "shell/Dialogs.h"
#include "shell/Settings.h"

namespace {

class SettingsDialog : public ::testing::Test {
protected:
    HWND dialog = nullptr;

    void SetUp() override {
        DeleteMachineKey(SettingsKeyPath);
        SettingsComboIndex = -1;
        DefaultAppSelector = 6;
        Install(1, 1, 1);
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
        DeleteMachineKey(SettingsKeyPath);
    }
    static void Install(int quillmarsh, int beyondTv, int winDvr) {
        QuillmarshApp.installed = quillmarsh;
        BeyondTvApp.installed = beyondTv;
        WinDvrApp.installed = winDvr;
    }
    void Open() {
        if (dialog) DestroyWindow(dialog);
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS),
                                    nullptr, SettingsDialogProc, 0);
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
    DefaultAppSelector = 8;
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
    EXPECT_EQ(DefaultAppSelector, 6);

    Open();
    Select(2);
    Press(IDOK);
    EXPECT_EQ(DefaultAppSelector, 8);
    EXPECT_EQ(Stored(), 8u);
}

TEST_F(SettingsDialog, EscapeChangesNothing) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    Select(1);
    Press(IDCANCEL);
    EXPECT_EQ(DefaultAppSelector, 6);
    EXPECT_EQ(Stored(), 6u);
    EXPECT_EQ(SettingsComboIndex, 0);
}

TEST_F(SettingsDialog, UninstalledDefaultSelectsTheFirstEntryAndOkAdoptsIt) {
    Install(0, 1, 1);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    EXPECT_EQ(Selection(), 0);
    Press(IDOK);
    EXPECT_EQ(DefaultAppSelector, 7);
    EXPECT_EQ(Stored(), 7u);
}

TEST_F(SettingsDialog, RemembersThePositionWhenTheSelectorMatchesNoEntry) {
    DefaultAppSelector = 5;
    Open();
    Select(2);
    Press(IDOK);
    EXPECT_EQ(SettingsComboIndex, 2);
    DefaultAppSelector = 5;
    Open();
    EXPECT_EQ(Selection(), 2);
}

TEST_F(SettingsDialog, AnEmptyListChangesNothing) {
    Install(0, 0, 0);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    Open();
    EXPECT_TRUE(Entries().empty());
    Press(IDOK);
    EXPECT_EQ(DefaultAppSelector, 6);
    EXPECT_EQ(Stored(), 6u);
}

TEST_F(SettingsDialog, AValueDeletedMeanwhileIsNotCreated) {
    Open();
    DeleteMachineKey(SettingsKeyPath);
    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 0);
    Select(1);
    Press(IDOK);
    EXPECT_EQ(DefaultAppSelector, 7);
    EXPECT_EQ(Stored(), 0u);
}

TEST(Placement, KnownWidthsPlaceTheDialogTopmost) {
    TestWindow window("MarlowPlacement", "placed");
    SetWindowPos(window.handle(), HWND_NOTOPMOST, 5, 6, 0, 0, SWP_NOSIZE);
    PlaceDialog(window.handle());
    RECT rect;
    GetWindowRect(window.handle(), &rect);
    const bool topmost = (GetWindowLongA(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (GetSystemMetrics(SM_CXFULLSCREEN) == 1024) {
        EXPECT_EQ(rect.left, 350);
        EXPECT_EQ(rect.top, 300);
        EXPECT_TRUE(topmost);
    } else {
        EXPECT_EQ(rect.left, 5);
        EXPECT_EQ(rect.top, 6);
        EXPECT_FALSE(topmost);
    }
}

}  // namespace
