// Every registry value the program reads, in every registry type, at lengths
// around the buffers, with and without a terminator: no crash, every text
// terminated, and the outcome the reading rules give.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "apps/InstallInfo.h"
#include "shell/Settings.h"

namespace {

const DWORD Types[] = {REG_NONE,  REG_SZ,        REG_EXPAND_SZ, REG_BINARY, REG_DWORD,
                       REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ, REG_QWORD};
const DWORD Lengths[] = {0, 1, 3, 4, 5, 127, 128, 129, 300};
constexpr bool Is32BitProcess = sizeof(void*) == 4;

// Data of the given length: printable bytes, ending in a NUL when terminated.
std::vector<BYTE> Data(DWORD length, bool terminated) {
    std::vector<BYTE> data(length);
    for (DWORD i = 0; i < length; ++i) data[i] = static_cast<BYTE>('A' + i % 26);
    if (terminated && length > 0) data[length - 1] = 0;
    return data;
}

TEST(RegistrySweep, SettingsValues) {
    for (const char* name : {DefaultAppValue, AlwaysRemoteOffValue}) {
        for (DWORD type : Types) {
            for (DWORD length : Lengths) {
                for (bool terminated : {false, true}) {
                    DeleteMachineKey(SettingsKeyPath);
                    WriteMachineDword(SettingsKeyPath, DefaultAppValue, 7);
                    WriteMachineDword(SettingsKeyPath, AlwaysRemoteOffValue, 0);
                    const std::vector<BYTE> data = Data(length, terminated);
                    WriteMachineValue(SettingsKeyPath, name, type, data.data(), length);
                    core::Settings settings;
                    LoadSettings(settings);

                    // Up to four bytes are read as they are; more is a failed
                    // read, which writes the default back. 64-bit Wine wants
                    // room for a terminator after an unterminated string
                    // that fills all four.
                    DWORD expected = 0;
                    if (length <= 4) std::memcpy(&expected, data.data(), length);
                    const bool text = type == REG_SZ || type == REG_EXPAND_SZ ||
                                      type == REG_MULTI_SZ;
                    const bool readable =
                        length < 4 || (length == 4 && (Is32BitProcess || !text || terminated));
                    const std::string what = std::string(name) + " type " + std::to_string(type) +
                                             " length " + std::to_string(length) +
                                             (terminated ? " terminated" : "");
                    if (std::strcmp(name, DefaultAppValue) == 0) {
                        EXPECT_EQ(settings.defaultSelector, readable ? static_cast<int>(expected) : 6)
                            << what;
                    } else {
                        EXPECT_EQ(settings.alwaysRemoteOff, readable && expected == 1) << what;
                    }
                    DWORD storedType = 0;
                    std::vector<BYTE> stored;
                    ASSERT_TRUE(ReadMachineValue(SettingsKeyPath, name, storedType, stored));
                    EXPECT_EQ(storedType, readable ? type : static_cast<DWORD>(REG_DWORD)) << what;
                }
            }
        }
    }
    DeleteMachineKey(SettingsKeyPath);
}

TEST(RegistrySweep, InstallLocations) {
    constexpr char Key[] = "Software\\Marlow Tests\\Sweep";
    for (DWORD type : Types) {
        for (DWORD length : Lengths) {
            for (bool terminated : {false, true}) {
                DeleteMachineKey(Key);
                const std::vector<BYTE> data = Data(length, terminated);
                WriteMachineValue(Key, "Path", type, data.data(), length);
                core::Application application = core::Applications[0];
                application.installKey = Key;
                application.installValue = "Path";
                char path[core::InstallPathSize];
                std::memset(path, 'x', sizeof path);
                const bool installed = ReadInstallLocation(application, path);

                const std::string what =
                    "type " + std::to_string(type) + " length " + std::to_string(length) +
                    (terminated ? " terminated" : "");
                ASSERT_LT(strnlen(path, sizeof path), sizeof path) << what;
                // 128 bytes fit only with their terminator; more never fit.
                const bool fits = length < 128 || (length == 128 && terminated);
                EXPECT_EQ(installed, fits) << what;
                if (fits) {
                    const size_t text = terminated && length > 0 ? length - 1 : length;
                    EXPECT_EQ(std::strlen(path), text) << what;
                } else {
                    EXPECT_STREQ(path, "") << what;
                }
            }
        }
    }
    DeleteMachineKey(Key);
}

}  // namespace
