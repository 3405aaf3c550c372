// The shutdown dialog that the remote answers: while it is open, a first
// press of Power confirms it and any other key cancels it.
#include "core/Remote.h"
#include "core/Sdk.h"

namespace core {

DialogAnswer AnswerForKey(unsigned virtualKey) {
    if (virtualKey == VK_RETURN) return DialogAnswer::Confirm;
    if (virtualKey == VK_ESCAPE) return DialogAnswer::Cancel;
    return DialogAnswer::None;
}

void Remote::ShowShutdownDialog() {
    state_.shutdownDialogOpen = true;
    // The window of an earlier dialog is gone, and its handle may since name
    // another window: the remote answers only the dialog made now.
    state_.shutdownDialog = 0;
    desktop_.RunShutdownDialog();
    // Returned: the dialog is closed, or was never made. Left set, the flag
    // would send every later key to a window that does not exist.
    ShutdownDialogEnded();
}

void Remote::ShutdownDialogMade(WindowRef dialog) { state_.shutdownDialog = dialog; }

void Remote::ShutdownDialogEnded() { state_.shutdownDialogOpen = false; }

void Remote::AnswerShutdownDialog(int code) {
    // Not made yet: its window is stored when it initialises.
    const WindowRef dialog = state_.shutdownDialog;
    if (dialog == 0) return;
    desktop_.Raise(dialog);
    desktop_.Send(dialog, WM_KEYDOWN, MachineRoleOf(code) == MachineRole::Power ? VK_RETURN : VK_ESCAPE, 0);
}

}  // namespace core
