#include "core/ShutdownAnswer.h"

#include "core/RemoteKey.h"
#include "core/Sdk.h"

namespace core {

DialogAnswer AnswerForKey(unsigned virtualKey) {
    if (virtualKey == VK_RETURN) return DialogAnswer::Confirm;
    if (virtualKey == VK_ESCAPE) return DialogAnswer::Cancel;
    return DialogAnswer::None;
}

void ShutdownAnswer::ShowShutdownDialog() {
    open_ = true;
    // The window of an earlier dialog is gone, and its handle may since name
    // another window: the remote answers only the dialog made now.
    dialog_ = 0;
    feedback_.RunShutdownDialog(*this);
    // Returned: the dialog is closed, or was never made. Left set, the flag
    // would send every later key to a window that does not exist.
    ShutdownDialogEnded();
}

void ShutdownAnswer::ShutdownDialogMade(WindowRef dialog) { dialog_ = dialog; }

void ShutdownAnswer::ShutdownDialogEnded() { open_ = false; }

void ShutdownAnswer::AnswerShutdownDialog(int code) {
    // Not made yet: its window is stored when it initialises.
    const WindowRef dialog = dialog_;
    if (dialog == 0) return;
    windows_.Raise(dialog);
    windows_.Send(dialog, WM_KEYDOWN, MachineRoleOf(code) == MachineRole::Power ? VK_RETURN : VK_ESCAPE, 0);
}

}  // namespace core
