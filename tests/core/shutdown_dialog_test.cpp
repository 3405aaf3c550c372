// The shutdown dialog that the remote answers: Power confirms it, any other
// key cancels it, and once it has ended keys go where they went before.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

using K = RemoteKey;

struct ShutdownDialog : RemoteOnDesktop, ::testing::Test {};

TEST_F(ShutdownDialog, TheOpenDialogTakesOnlyAnswersPowerConfirmsAnyOtherKeyCancels) {
    core::InitScreenBounds(state.pointer, 1024, 768);
    state.settings.defaultSelector = Quillmarsh.row.selector;
    const FakeWindow dialog = desktop.Open("dialog", "#32770", "Marlow Remote Control - Shut Down");
    desktop.inDialog = [&] {
        remote.Route(Code(K::Mute));  // before the dialog has initialised: nothing
        remote.ShutdownDialogMade(dialog.ref);
        remote.Route(Code(K::Digit2));
        remote.Route(255);  // a failed read, too, cancels
        remote.Route(Code(K::Power));
    };
    ExpectEffects(Press(K::VolumeDown), {"dialog", Raise(dialog), Send(dialog, WM_KEYDOWN, VK_ESCAPE),
                                         Raise(dialog), Send(dialog, WM_KEYDOWN, VK_ESCAPE),
                                         Raise(dialog), Send(dialog, WM_KEYDOWN, VK_RETURN), "dialog ended"});
    EXPECT_FALSE(state.shutdownDialogOpen);
    // Once it has ended, keys go where they went before.
    ExpectEffects(Press(K::Digit2), {Cursor(499, 399)});
}

TEST(DialogAnswers, EnterConfirmsEscapeCancelsOthersAreIgnored) {
    EXPECT_EQ(core::AnswerForKey(VK_RETURN), core::DialogAnswer::Confirm);
    EXPECT_EQ(core::AnswerForKey(VK_ESCAPE), core::DialogAnswer::Cancel);
    EXPECT_EQ(core::AnswerForKey(VK_SPACE), core::DialogAnswer::None);
}

}  // namespace
