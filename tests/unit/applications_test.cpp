// Application records: install locations of any shape, and the window
// lookups against real top-level windows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "apps/TvApplication.h"

namespace {

constexpr char Key[] = "Software\\Marlow Tests\\Application";
constexpr char Value[] = "InstallDir";

class InstallRecord : public ::testing::Test {
protected:
    void SetUp() override { DeleteMachineKey(Key); }
    void TearDown() override { DeleteMachineKey(Key); }

    static void ExpectTerminated(const TvApplication& app) {
        EXPECT_LT(std::strlen(app.installPath), sizeof app.installPath);
    }
};

TEST_F(InstallRecord, MissingKeyOrValueMeansNotInstalled) {
    TvApplication noKey(Key, Value, "App.exe", "", "App");
    noKey.ReadInstallInfo();
    EXPECT_EQ(noKey.IsInstalled(), 0);
    WriteMachineString(Key, "Other", "C:\\App");
    TvApplication noValue(Key, Value, "App.exe", "", "App");
    noValue.ReadInstallInfo();
    EXPECT_EQ(noValue.IsInstalled(), 0);
    EXPECT_STREQ(noValue.titlePrefix, "App");  // the identity is kept all the same
}

TEST_F(InstallRecord, PathIsTakenAsStored) {
    WriteMachineString(Key, Value, "C:\\Program Files\\App\\");
    TvApplication app(Key, Value, "App.exe", "AppClass", "App");
    app.ReadInstallInfo();
    EXPECT_EQ(app.IsInstalled(), 1);
    EXPECT_EQ(app.active, 0);
    EXPECT_STREQ(app.installPath, "C:\\Program Files\\App\\");
    EXPECT_STREQ(app.exeName, "App.exe");
    EXPECT_STREQ(app.windowClass, "AppClass");
}

TEST_F(InstallRecord, LengthsAroundTheBufferSize) {
    const std::string longest(127, 'p');
    WriteMachineString(Key, Value, longest);  // 127 characters and the terminator
    TvApplication fits(Key, Value, "App.exe", "", "App");
    fits.ReadInstallInfo();
    EXPECT_EQ(fits.IsInstalled(), 1);
    EXPECT_EQ(std::string(fits.installPath), longest);

    const std::string full(128, 'q');  // 128 bytes, no terminator
    WriteMachineValue(Key, Value, REG_SZ, full.data(), 128);
    TvApplication unterminated(Key, Value, "App.exe", "", "App");
    unterminated.ReadInstallInfo();
    EXPECT_EQ(unterminated.IsInstalled(), 0);
    ExpectTerminated(unterminated);

    for (DWORD size : {129u, 300u}) {
        const std::string tooLong(size, 'r');
        WriteMachineValue(Key, Value, REG_SZ, tooLong.data(), size);
        TvApplication over(Key, Value, "App.exe", "", "App");
        over.ReadInstallInfo();
        EXPECT_EQ(over.IsInstalled(), 0) << size;
        ExpectTerminated(over);
    }
}

TEST_F(InstallRecord, AnyTypeAndShortDataEndUpTerminated) {
    WriteMachineValue(Key, Value, REG_BINARY, "C:\\ab", 5);  // no terminator
    TvApplication binary(Key, Value, "App.exe", "", "App");
    binary.ReadInstallInfo();
    EXPECT_EQ(binary.IsInstalled(), 1);
    EXPECT_STREQ(binary.installPath, "C:\\ab");

    const DWORD number = 0x00414141;
    WriteMachineValue(Key, Value, REG_DWORD, &number, sizeof number);
    TvApplication dword(Key, Value, "App.exe", "", "App");
    dword.ReadInstallInfo();
    EXPECT_EQ(dword.IsInstalled(), 1);
    EXPECT_STREQ(dword.installPath, "AAA");

    WriteMachineValue(Key, Value, REG_SZ, "", 0);
    TvApplication empty(Key, Value, "App.exe", "", "App");
    empty.ReadInstallInfo();
    EXPECT_EQ(empty.IsInstalled(), 1);
    EXPECT_STREQ(empty.installPath, "");
}

class WindowLookups : public ::testing::Test {};

TEST_F(WindowLookups, TitlePrefixIsCaseSensitiveAndAnchored) {
    TvApplication app(Key, Value, "App.exe", "", "WinDVR 6");
    EXPECT_EQ(app.FindByTitlePrefix(), nullptr);
    TestWindow other("MarlowTestA", "My WinDVR 6");
    TestWindow lower("MarlowTestA", "windvr 6 player");
    EXPECT_EQ(app.FindByTitlePrefix(), nullptr);
    TestWindow match("MarlowTestA", "WinDVR 6 - Live TV");
    EXPECT_EQ(app.FindByTitlePrefix(), match.handle());
    EXPECT_EQ(app.FindMainWindow(), match.handle());  // no class: by title
}

TEST_F(WindowLookups, AThousandOtherWindowsDoNotHideTheApplication) {
    TestWindow target("MarlowTestD", "InterVideo WinDVR 6");  // at the bottom of the Z order
    std::vector<std::unique_ptr<TestWindow>> others;
    for (int i = 0; i < 1000; ++i) {
        const std::string title = "WinDVR " + std::to_string(i) + std::string(i % 600, 'w');
        others.push_back(std::make_unique<TestWindow>("MarlowTestE", title.c_str()));
    }
    EXPECT_EQ(FindWinDvrWindow(), target.handle());
    TvApplication app(Key, Value, "App.exe", "", "InterVideo WinDVR 6");
    EXPECT_EQ(app.FindByTitlePrefix(), target.handle());
}

TEST_F(WindowLookups, WinDvrIsFoundByExactTitleForKeysAndByPrefixForTheMenu) {
    TestWindow longer("MarlowTestC", "InterVideo WinDVR 6 Player");
    EXPECT_EQ(FindWinDvrWindow(), nullptr);
    TestWindow exact("MarlowTestC", "InterVideo WinDVR 6");
    EXPECT_EQ(FindWinDvrWindow(), exact.handle());
    EXPECT_EQ(IsWinDvrRunning(), 0);  // that title does not begin with "WinDVR 6"
}

TEST_F(WindowLookups, ClassLookupsOfTheMenuAndTheKeyMaps) {
    EXPECT_EQ(IsBeyondTvRunning(), 0);
    EXPECT_EQ(IsQuillmarshRunning(), 0);
    TestWindow video("Streamzap.WM.D3D", "Beyond TV");
    EXPECT_EQ(FindBeyondTvWindow(), video.handle());
    EXPECT_EQ(IsBeyondTvRunning(), 0);  // the menu looks for "SnapStream"
    TestWindow main("SnapStream", "Beyond TV main");
    EXPECT_EQ(IsBeyondTvRunning(), 1);
    TestWindow panel("VarnelMainPanel_Class", "Quillmarsh");
    EXPECT_EQ(FindQuillmarshWindow(), panel.handle());
    EXPECT_EQ(IsQuillmarshRunning(), 1);
}

TEST_F(WindowLookups, ShowOrLaunchRaisesAnExistingWindowWithoutStartingAnything) {
    TvApplication app(Key, Value, "Missing.exe", "SnapStream", "FormMainWindow");
    EXPECT_EQ(app.ShowOrLaunch(), nullptr);  // not installed: nothing at all

    app.installed = 1;
    std::strcpy(app.installPath, "C:\\nowhere");
    TestWindow main("SnapStream", "Beyond TV main");  // no "FormMainWindow" title
    EXPECT_EQ(app.ShowOrLaunch(), main.handle());
    EXPECT_EQ(app.active, 0);
    EXPECT_EQ(app.Launch(), main.handle());
    EXPECT_EQ(app.active, 0);
}

// Beyond TV and Quillmarsh both title their main window "FormMainWindow":
// while one of them is still closing, the other is started, not the closing
// window raised in its place.
TEST_F(WindowLookups, ALookAlikeTitleOfAnotherApplicationIsNeverRaised) {
    TvApplication app(Key, Value, "", "SnapStream", "FormMainWindow");
    app.installed = 1;
    std::strcpy(app.installPath, "C:\\windows\\system32");  // a program that ends at once
    std::strcpy(app.exeName, "rundll32.exe");
    TestWindow closing("Quillmarsh", "FormMainWindow");
    EXPECT_NE(app.ShowOrLaunch(), closing.handle());
    EXPECT_EQ(app.active, 1);  // started

    app.active = 0;
    TestWindow own("SnapStream", "FormMainWindow");
    EXPECT_EQ(app.ShowOrLaunch(), own.handle());
    EXPECT_EQ(app.active, 0);
}

}  // namespace
