// The Settings dialog's list and choice, on real dialogs made from the
// program's own template.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Profiles.h"
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

// What the dialog asked the shell to open, whether profiles.ini was there
// then, and the answers it is given.
std::vector<std::string> Opened;
std::vector<INT_PTR> OpenResults;
std::string ProfileFile;
HINSTANCE WINAPI RecordOpen(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT) {
    const bool there = GetFileAttributesW(Wide(ProfileFile).c_str()) != INVALID_FILE_ATTRIBUTES;
    Opened.push_back(Utf8(verb) + " " + Utf8(file) +
                     (parameters != nullptr ? " " + Utf8(parameters) : "") +
                     (there ? "" : " (missing)"));
    const INT_PTR result = OpenResults.empty() ? 42 : OpenResults.front();
    if (!OpenResults.empty()) OpenResults.erase(OpenResults.begin());
    return reinterpret_cast<HINSTANCE>(result);
}

class SettingsDialog : public ::testing::Test {
protected:
    HWND dialog = nullptr;
    core::State state;
    SystemCalls system;
    TempFolder folder;
    ProfileStore profiles;
    SettingsDialogContext context{state, system, profiles};
    const std::string file = folder.path() + "\\Marlow Remote Control\\profiles.ini";

    void SetUp() override {
        DeleteMachineKey(SettingsKeyPath);
        Install(true, true, true);
        Boxes.clear();
        Opened.clear();
        OpenResults.clear();
        system.messageBox = RecordBox;  // a failed store reports in a box
        system.shellExecute = RecordOpen;
        ProfileFile = file;
        profiles.UseFolder(folder.path().c_str());
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

// The switches' boxes, each with its setting and its value.
struct SwitchBox {
    int control;
    bool core::Settings::*setting;
    const char* value;
};
const SwitchBox SwitchBoxes[] = {
    {IDC_MEDIA_KEYS, &core::Settings::mediaKeys, MediaKeysValue},
    {IDC_PROFILES, &core::Settings::profiles, ProfilesValue},
    {IDC_SHOW_KEYS, &core::Settings::showKeys, ShowKeysValue},
    {IDC_SERVER, &core::Settings::server, ServerValue},
};

TEST_F(SettingsDialog, EachSwitchsBoxShowsItsSettingAndIsStoredOnlyWhenChanged) {
    for (const SwitchBox& changed : SwitchBoxes) {
        SCOPED_TRACE(changed.value);
        DeleteMachineKey(SettingsKeyPath);
        WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
        // The changed box checked, the others not; then the other way round.
        for (bool on : {true, false}) {
            for (const SwitchBox& box : SwitchBoxes)
                state.settings.*box.setting = (&box == &changed) == on;
            Open();
            for (const SwitchBox& box : SwitchBoxes)
                EXPECT_EQ(IsDlgButtonChecked(dialog, box.control),
                          static_cast<UINT>(state.settings.*box.setting ? BST_CHECKED : BST_UNCHECKED))
                    << box.value;
        }
        Press(IDOK);  // unchanged: nothing written
        DWORD type;
        std::vector<BYTE> data;
        for (const SwitchBox& box : SwitchBoxes)
            EXPECT_FALSE(ReadMachineValue(SettingsKeyPath, box.value, type, data)) << box.value;

        // Only the changed box is told and stored; the others, unchanged, are not.
        Open();
        SendDlgItemMessageA(dialog, changed.control, BM_CLICK, 0, 0);
        Press(IDOK);
        core::Settings read;  // what the next start reads
        LoadSettings(read);
        for (const SwitchBox& box : SwitchBoxes) {
            const bool stored = &box == &changed;
            EXPECT_TRUE(state.settings.*box.setting) << box.value;
            EXPECT_EQ(read.*box.setting, stored) << box.value;
            EXPECT_EQ(ReadMachineValue(SettingsKeyPath, box.value, type, data), stored)
                << box.value;
        }
        ASSERT_TRUE(ReadMachineValue(SettingsKeyPath, changed.value, type, data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(data, (std::vector<BYTE>{1, 0, 0, 0}));
    }
}

std::string StatusLine(HWND dialog) {
    char text[128] = {};
    GetDlgItemTextA(dialog, IDC_PROFILE_STATUS, text, sizeof text);
    return text;
}

TEST_F(SettingsDialog, TheStatusLineSaysWhatTheProfileFileIsWhenTheDialogComesBack) {
    const std::string example = core::ExampleProfiles();
    const std::string edited = example + "[Kodi]\r\nOK = Space\r\nVol++ = Space\r\n";
    const long long added = std::count(example.begin(), example.end(), '\n') + 3;
    Open();  // the file is made when missing
    EXPECT_EQ(StatusLine(dialog), "profiles.ini: the built-in profiles, unchanged");
    EXPECT_EQ(ReadWholeFile(file), example);

    WriteWholeFile(file, edited);  // as the user saves it in the editor
    SendMessageA(dialog, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    EXPECT_EQ(StatusLine(dialog), "profiles.ini: 1 line skipped (see line " + std::to_string(added) + ")");
}

TEST_F(SettingsDialog, EditProfilesMakesTheFileAndOpensItAsTheUserOpensSuchFiles) {
    Open();
    DeleteFileA(file.c_str());  // gone while the dialog is open
    Press(IDC_EDIT_PROFILES);
    EXPECT_EQ(Opened, (std::vector<std::string>{"open " + file}));
    EXPECT_EQ(ReadWholeFile(file), core::ExampleProfiles());
    EXPECT_TRUE(Boxes.empty());

    // No program chosen for .ini files: Notepad.
    Opened.clear();
    OpenResults = {SE_ERR_NOASSOC};
    Press(IDC_EDIT_PROFILES);
    EXPECT_EQ(Opened, (std::vector<std::string>{"open " + file,
                                                "open notepad.exe \"" + file + "\""}));
    EXPECT_TRUE(Boxes.empty());

    OpenResults = {SE_ERR_ACCESSDENIED};
    Press(IDC_EDIT_PROFILES);
    EXPECT_EQ(Boxes, (std::vector<std::string>{"Marlow Remote Control: Can't open profiles.ini."}));
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

TEST_F(SettingsDialog, OkAdoptsTheFirstEntryForAnUninstalledDefaultAndWithAnEmptyListChangesNothing) {
    const struct {
        bool beyondTv, winDvr;
        size_t entries;
        int selector;
    } cases[] = {{true, true, 2, BeyondTv.selector}, {false, false, 0, Quillmarsh.selector}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        Install(false, c.beyondTv, c.winDvr);
        WriteMachineDword(SettingsKeyPath, DefaultAppValue, Quillmarsh.selector);
        state.settings = core::Settings{};  // as the fixture starts
        Open();
        EXPECT_EQ(Entries().size(), c.entries);
        EXPECT_EQ(Selection(), c.entries > 0 ? 0 : CB_ERR);
        Press(IDOK);
        EXPECT_EQ(state.settings.defaultSelector, c.selector);
        EXPECT_EQ(Stored(), static_cast<DWORD>(c.selector));
    }
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
