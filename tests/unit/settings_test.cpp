// The settings store against the registry of a throwaway Wine prefix. The
// tests write and read the values without naming a view, as a 32-bit program
// sees them: run as settings_test_wow64, each of them finds the settings only
// where they must be, in the registry's 32-bit view (WOW6432Node).
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "shell/Settings.h"

namespace {

class SettingsStore : public ::testing::Test {
protected:
    core::Settings settings;
    void SetUp() override {
        DeleteMachineKey(SettingsKeyPath);
    }
    void TearDown() override { DeleteMachineKey(SettingsKeyPath); }

    static DWORD StoredDword(const char* name) {
        DWORD type = 0;
        std::vector<BYTE> data;
        EXPECT_TRUE(ReadMachineValue(SettingsKeyPath, name, type, data)) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
        DWORD value = 0xFFFFFFFF;
        if (data.size() == sizeof value) std::memcpy(&value, data.data(), sizeof value);
        return value;
    }
    static bool Stored(const char* name) {
        DWORD type;
        std::vector<BYTE> data;
        return ReadMachineValue(SettingsKeyPath, name, type, data);
    }
};

TEST_F(SettingsStore, FirstRunCreatesTheKeyWithDefaults) {
    LoadSettings(settings);
    EXPECT_EQ(settings.defaultSelector, core::InitialDefaultSelector);
    EXPECT_FALSE(settings.alwaysRemoteOff);
    EXPECT_EQ(StoredDword(DefaultAppValue), static_cast<DWORD>(core::InitialDefaultSelector));
    EXPECT_EQ(StoredDword(AlwaysRemoteOffValue), 0u);
}

TEST_F(SettingsStore, StoredValuesAreReadAndOnlyOneStopsTheProgram) {
    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 8);
    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 2);
    LoadSettings(settings);
    EXPECT_EQ(settings.defaultSelector, 8);
    EXPECT_FALSE(settings.alwaysRemoteOff);

    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 1);
    LoadSettings(settings);
    EXPECT_TRUE(settings.alwaysRemoteOff);
}

TEST_F(SettingsStore, AMissingValueIsWrittenWithItsDefault) {
    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 1);
    LoadSettings(settings);
    EXPECT_EQ(settings.defaultSelector, core::InitialDefaultSelector);
    EXPECT_EQ(StoredDword(DefaultAppValue), static_cast<DWORD>(core::InitialDefaultSelector));
    EXPECT_TRUE(settings.alwaysRemoteOff);
}

TEST_F(SettingsStore, SaveOverwritesButNeverCreatesTheValue) {
    EXPECT_EQ(SaveDefaultApp(settings), ERROR_FILE_NOT_FOUND);  // no key at all
    EXPECT_FALSE(Stored(DefaultAppValue));

    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 0);
    settings.defaultSelector = 7;
    EXPECT_EQ(SaveDefaultApp(settings), ERROR_FILE_NOT_FOUND);  // key without the value
    EXPECT_FALSE(Stored(DefaultAppValue));

    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 6);
    EXPECT_EQ(SaveDefaultApp(settings), ERROR_SUCCESS);
    EXPECT_EQ(StoredDword(DefaultAppValue), 7u);
}

// The switches, each with the setting it is read into.
struct Switch {
    const char* value;
    bool core::Settings::*setting;
};
const Switch Switches[] = {
    {MediaKeysValue, &core::Settings::mediaKeys},
    {ProfilesValue, &core::Settings::profiles},
    {ShowKeysValue, &core::Settings::showKeys},
    {ServerValue, &core::Settings::server},
};

TEST_F(SettingsStore, EachSwitchIsOnOnlyForOneAndNeverCreatedAtStart) {
    LoadSettings(settings);  // first run: the two settings, none of the switches
    for (const Switch& s : Switches) {
        EXPECT_FALSE(settings.*s.setting) << s.value;
        EXPECT_FALSE(Stored(s.value)) << s.value;
    }
    for (DWORD value : {2u, 0u, 1u}) {
        // Each switch on its own: the others stay off.
        for (const Switch& on : Switches) {
            for (const Switch& s : Switches) WriteMachineDword(SettingsKeyPath, s.value, 0);
            WriteMachineDword(SettingsKeyPath, on.value, value);
            core::Settings read;
            LoadSettings(read);
            for (const Switch& s : Switches)
                EXPECT_EQ(read.*s.setting, value == 1 && s.value == on.value)
                    << on.value << "=" << value << ", " << s.value;
        }
    }
}

TEST_F(SettingsStore, ASwitchIsStoredAsZeroOrOneAndAMissingKeyIsAFailure) {
    for (const Switch& s : Switches) {
        SCOPED_TRACE(s.value);
        DeleteMachineKey(SettingsKeyPath);
        EXPECT_NE(SaveSwitch(s.value, true), ERROR_SUCCESS);  // no settings key: not stored
        EXPECT_FALSE(Stored(s.value));
        LoadSettings(settings);
        EXPECT_EQ(SaveSwitch(s.value, true), ERROR_SUCCESS);
        EXPECT_EQ(StoredDword(s.value), 1u);
        EXPECT_EQ(SaveSwitch(s.value, false), ERROR_SUCCESS);
        EXPECT_EQ(StoredDword(s.value), 0u);
    }
}

}  // namespace
