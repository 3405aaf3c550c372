// The key descriptions for the virtual remote and the README: complete and
// readable for every code the program acts on.
#include "KeyDocs.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using namespace keydocs;
using core::AppId;

constexpr int HighestCode = 255;

TEST(KeyDocs, EveryCodeThatDoesSomethingHasOneButtonOfItsOwn) {
    std::set<int> codes;
    std::set<std::pair<int, int>> places;
    for (const core::RemoteKeyRow& key : core::RemoteKeys) {
        EXPECT_TRUE(codes.insert(Code(key.key)).second) << "code " << Code(key.key) << " twice";
        EXPECT_TRUE(places.insert({key.place.row, key.place.column}).second) << key.label;
        EXPECT_LT(key.place.column, core::RemoteColumns) << key.label;
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
    for (const core::RemoteKeyRow& key : core::RemoteKeys) {
        for (Mode mode : Modes) {
            const std::string text = Describe(mode, Code(key.key));
            EXPECT_EQ(text.find("virtual key"), std::string::npos) << text;
            EXPECT_EQ(text.find_first_of("\n|"), std::string::npos) << text;
        }
    }
}

TEST(KeyDocs, KeysTheProgramIgnoresAreDescribedAsDoingNothing) {
    // Codes without a row (any a new key has not taken), a lookup that sends
    // nothing, and keys the router keeps from the target's map.
    for (int code = 0; code <= HighestCode; ++code) {
        if (core::RowOf(code) != nullptr) continue;
        for (Mode mode : Modes) EXPECT_EQ(Describe(mode, code), "") << ModeName(mode) << ", code " << code;
    }
    EXPECT_EQ(Describe(TargetIs(AppId::BeyondTv), 21), "");
    EXPECT_EQ(Describe(TargetIs(AppId::BeyondTv), 24), "");
    EXPECT_EQ(Describe(TargetIs(AppId::WinDvr), 24), "");
    EXPECT_EQ(Describe(TargetIs(AppId::Quillmarsh), 13), "");
    EXPECT_EQ(Describe(NoApplication, 28), "");
    EXPECT_EQ(Describe(WithMediaKeys, 1), "");  // the pointer's keys are not media keys
}

// Off and Vol- without a target do what the default application's row says.
TEST(KeyDocs, OffAndVolDownNameTheDefaultsThatChangeThem) {
    const std::string beyondTv = core::ApplicationOf(AppId::BeyondTv).name;
    const std::string quillmarsh = core::ApplicationOf(AppId::Quillmarsh).name;
    EXPECT_EQ(Describe(NoApplication, 24),
              "shutdown dialog when " + beyondTv + " is the default, else standby");
    EXPECT_EQ(Describe(NoApplication, 29), "shutdown dialog when " + quillmarsh + " is the default");
    EXPECT_EQ(Describe(WithMediaKeys, 68), "media key MediaPlayPause");
    EXPECT_EQ(Describe(WithMediaKeys, 29),
              "media key VolumeDown unless " + quillmarsh + " is the default");
}

}  // namespace
