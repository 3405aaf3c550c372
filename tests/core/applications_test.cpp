// Rules of the applications' table itself, whatever its rows say: each close
// order and the exit watch's order name the applications once each, a
// selector finds its own row, and an application that is sent commands has
// a command message.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakeDesktop.h"

namespace {

using core::AppId;
using core::Application;

// How often each application is named, by its place in the table.
std::vector<int> Named(const AppId* begin, const AppId* end) {
    std::vector<int> counts(core::ApplicationCount, 0);
    for (const AppId* id = begin; id != end; ++id) ++counts[static_cast<size_t>(*id)];
    return counts;
}

TEST(Applications, EachCloseOrderNamesEachOtherApplicationOnceAndTheWatchEachApplication) {
    const std::vector<int> once(core::ApplicationCount, 1);
    for (const Application& row : core::Applications) {
        SCOPED_TRACE(row.name);
        std::vector<int> others = once;
        others[static_cast<size_t>(row.id)] = 0;
        EXPECT_EQ(Named(row.powerCloses.begin(), row.powerCloses.end()), others);
        EXPECT_EQ(Named(row.switchCloses.begin(), row.switchCloses.end()), others);
    }
    EXPECT_EQ(Named(std::begin(core::ExitWatchOrder), std::end(core::ExitWatchOrder)), once);
}

TEST(Applications, EachSelectorFindsItsOwnRowAndNoOtherValueFindsOne) {
    for (const Application& row : core::Applications)
        EXPECT_EQ(core::ApplicationFor(row.selector), &row) << row.name;
    EXPECT_EQ(core::ApplicationFor(UnknownSelector()), nullptr);
}

TEST(Applications, AnApplicationSentCommandsHasACommandMessage) {
    for (const Application& row : core::Applications) {
        const bool commands =
            row.close.kind == core::CloseKind::Command ||
            std::any_of(row.keys->rows, row.keys->rows + row.keys->count, [](const core::KeyAction& action) {
                return action.kind == core::KeyActionKind::Command ||
                       action.kind == core::KeyActionKind::ShutdownCommand;
            });
        EXPECT_TRUE(!commands || row.commandMessage != 0) << row.name;
    }
}

}  // namespace
