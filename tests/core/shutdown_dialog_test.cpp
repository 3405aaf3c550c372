// The shutdown dialog that the remote answers: Power confirms it, any other
// key cancels it, and once it has ended keys go where they went before.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

using K = RemoteKey;

struct ShutdownDialog : RemoteOnDesktop, ::testing::Test {};

TEST_F(ShutdownDialog, TheOpenDialogTakesOnlyAnswersPowerConfirmsAnyOtherKeyCancels) {
    pointer.InitScreenBounds(1024, 768);
    state.settings.defaultSelector = Quillmarsh.row.selector;
    const FakeWindow dialog = desktop.Open("dialog", "#32770", "Marlow Remote Control - Shut Down");
    desktop.inDialog = [&] {
        router.Route(Code(K::Mute), false);  // before the dialog has initialised: nothing
        shutdown.ShutdownDialogMade(dialog.ref);
        router.Route(Code(K::Digit2), false);
        router.Route(255, false);  // a failed read, too, cancels
        router.Route(Code(K::Power), false);
    };
    ExpectEffects(Press(K::VolumeDown), {"dialog", Raise(dialog), Send(dialog, WM_KEYDOWN, VK_ESCAPE),
                                         Raise(dialog), Send(dialog, WM_KEYDOWN, VK_ESCAPE),
                                         Raise(dialog), Send(dialog, WM_KEYDOWN, VK_RETURN), "dialog ended"});
    EXPECT_FALSE(shutdown.IsOpen());
    // Once it has ended, keys go where they went before.
    ExpectEffects(Press(K::Digit2), {Cursor(499, 399)});
}

TEST(DialogAnswers, EnterConfirmsEscapeCancelsOthersAreIgnored) {
    EXPECT_EQ(core::AnswerForKey(VK_RETURN), core::DialogAnswer::Confirm);
    EXPECT_EQ(core::AnswerForKey(VK_ESCAPE), core::DialogAnswer::Cancel);
    EXPECT_EQ(core::AnswerForKey(VK_SPACE), core::DialogAnswer::None);
}

}  // namespace
