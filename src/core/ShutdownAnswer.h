// The shutdown dialog that the remote answers: while it is open, a first
// press of Power confirms it and any other key cancels it.
#pragma once
#include "core/Feedback.h"
#include "core/Windows.h"

namespace core {

// What the shutdown dialog does with a key it receives.
enum class DialogAnswer { None, Confirm, Cancel };
DialogAnswer AnswerForKey(unsigned virtualKey);

class ShutdownAnswer {
public:
    ShutdownAnswer(Windows& windows, Feedback& feedback) : windows_(windows), feedback_(feedback) {}

    // Runs the shutdown dialog that the remote answers.
    void ShowShutdownDialog();
    // The dialog's window has been made; the remote answers it from now.
    void ShutdownDialogMade(WindowRef dialog);
    // The dialog has ended (confirmed or cancelled): keys are routed again.
    void ShutdownDialogEnded();
    // While it is open, every key routed answers it.
    bool IsOpen() const { return open_; }
    // The dialog's window once it has been made, else 0.
    WindowRef Dialog() const { return dialog_; }
    void AnswerShutdownDialog(int code);

private:
    Windows& windows_;
    Feedback& feedback_;
    bool open_ = false;
    WindowRef dialog_ = 0;  // stored when the dialog initialises
};

}  // namespace core
