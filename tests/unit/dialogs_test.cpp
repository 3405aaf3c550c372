// The Settings dialog's list and choice, on real dialogs made from the
// program's own template.
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

const core::Application& Quillmarsh = core::ApplicationOf(core::AppId::Quillmarsh);
const core::Application& BeyondTv = core::ApplicationOf(core::AppId::BeyondTv);
const core::Application& WinDvr = core::ApplicationOf(core::AppId::WinDvr);
// A selector that names no application.
constexpr int NoApplication = 5;

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
    state.settings.defaultSelector = WinDvr.selector;
    Open();
    EXPECT_EQ(Entries(), (std::vector<std::string>{BeyondTv.menuText, WinDvr.menuText}));
    EXPECT_EQ(Selection(), 1);
}

TEST_F(SettingsDialog, OkStoresOnlyAChangedChoice) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
    Open();
    EXPECT_EQ(Selection(), 0);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 99);  // a write would show
    Press(IDOK);
    EXPECT_EQ(Stored(), 99u);
    EXPECT_EQ(state.settings.defaultSelector, Quillmarsh.selector);

    Open();
    Select(2);
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, WinDvr.selector);
    EXPECT_EQ(Stored(), static_cast<DWORD>(WinDvr.selector));
}

TEST_F(SettingsDialog, TheMediaKeysBoxShowsTheSettingAndIsStoredOnlyWhenChanged) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
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
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
    Open();
    Select(1);
    Press(IDCANCEL);
    EXPECT_EQ(state.settings.defaultSelector, Quillmarsh.selector);
    EXPECT_EQ(Stored(), static_cast<DWORD>(Quillmarsh.selector));
    EXPECT_EQ(state.settings.listIndex, 0);
}

TEST_F(SettingsDialog, UninstalledDefaultSelectsTheFirstEntryAndOkAdoptsIt) {
    Install(0, 1, 1);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
    Open();
    EXPECT_EQ(Selection(), 0);
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, BeyondTv.selector);
    EXPECT_EQ(Stored(), static_cast<DWORD>(BeyondTv.selector));
}

TEST_F(SettingsDialog, RemembersThePositionWhenTheSelectorMatchesNoEntry) {
    state.settings.defaultSelector = NoApplication;
    Open();
    Select(2);
    Press(IDOK);
    EXPECT_EQ(state.settings.listIndex, 2);
    state.settings.defaultSelector = NoApplication;
    Open();
    EXPECT_EQ(Selection(), 2);
}

TEST_F(SettingsDialog, AnEmptyListChangesNothing) {
    Install(0, 0, 0);
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
    Open();
    EXPECT_TRUE(Entries().empty());
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, Quillmarsh.selector);
    EXPECT_EQ(Stored(), static_cast<DWORD>(Quillmarsh.selector));
}

TEST_F(SettingsDialog, AValueDeletedMeanwhileIsNotCreated) {
    Open();
    DeleteMachineKey(SettingsKeyPath);
    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 0);
    Select(1);
    Press(IDOK);
    EXPECT_EQ(state.settings.defaultSelector, BeyondTv.selector);
    EXPECT_EQ(Stored(), 0u);
}


}  // namespace
