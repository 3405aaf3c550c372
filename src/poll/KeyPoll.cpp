#include "poll/KeyPoll.h"

void PollOnce(IKsControl* receiver, core::Router& router, core::ReceiverLink& link,
              DWORD tickTime) {
    router.OnPoll(tickTime);
    HRESULT error = S_OK;
    const KeyStatus status = ReadKeyStatus(receiver, error);
    if (status == KeyStatus::Failed) {
        link.Failed(static_cast<uint32_t>(error));
        return;
    }
    link.Answered(status == KeyStatus::Waiting);
    if (status == KeyStatus::None) {
        router.OnNoKey(tickTime);
        return;
    }
    const int code = ReadKeyCode(receiver);
    // Read, so that the receiver lets it go, and dropped.
    if (link.DropsKey()) return;
    router.OnRead(code);
}
