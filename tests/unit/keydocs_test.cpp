// The key descriptions for the virtual remote and the README: complete and
// readable for every code the program acts on.
#include "KeyDocs.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using namespace keydocs;

constexpr int HighestCode = 255;

TEST(KeyDocs, EveryCodeThatDoesSomethingHasOneButtonOfItsOwn) {
    std::set<int> codes;
    std::set<std::pair<int, int>> places;
    for (size_t i = 0; i < RemoteButtonCount; ++i) {
        const RemoteButton& button = RemoteButtons[i];
        EXPECT_TRUE(codes.insert(button.code).second) << "code " << int(button.code) << " twice";
        EXPECT_TRUE(places.insert({button.row, button.column}).second) << button.label;
        EXPECT_LT(button.column, RemoteColumns) << button.label;
    }
    for (int code = 0; code <= HighestCode; ++code) {
        for (Mode mode : Modes) {
            if (Describe(mode, code).empty()) continue;
            EXPECT_EQ(codes.count(code), 1u) << "code " << code << " acts in " << ModeName(mode)
                                             << " but the remote has no button for it";
        }
    }
}

TEST(KeyDocs, DescriptionsNameEveryKeyAndStayOnOneLine) {
    for (size_t i = 0; i < RemoteButtonCount; ++i) {
        for (Mode mode : Modes) {
            const std::string text = Describe(mode, RemoteButtons[i].code);
            EXPECT_EQ(text.find("virtual key"), std::string::npos) << text;
            EXPECT_EQ(text.find_first_of("\n|"), std::string::npos) << text;
        }
    }
}

TEST(KeyDocs, KeysTheProgramIgnoresAreDescribedAsDoingNothing) {
    // A code without a row, a lookup that sends nothing, and keys the router
    // keeps from the target's map.
    for (Mode mode : Modes) EXPECT_EQ(Describe(mode, 70), "") << ModeName(mode);
    EXPECT_EQ(Describe(Mode::BeyondTv, 21), "");
    EXPECT_EQ(Describe(Mode::BeyondTv, 24), "");
    EXPECT_EQ(Describe(Mode::WinDvr, 24), "");
    EXPECT_EQ(Describe(Mode::Quillmarsh, 13), "");
    EXPECT_EQ(Describe(Mode::NoApplication, 28), "");
    EXPECT_EQ(Describe(Mode::MediaKeys, 1), "");  // the pointer's keys are not media keys
}

TEST(KeyDocs, TheMediaKeysColumnNamesTheSystemsKey) {
    EXPECT_EQ(Describe(Mode::MediaKeys, 68), "media key Play/Pause");
    EXPECT_EQ(Describe(Mode::MediaKeys, 29), "media key Volume Down unless Quillmarsh is the default");
}

}  // namespace
