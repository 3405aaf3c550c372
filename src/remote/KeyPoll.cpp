#include "remote/KeyPoll.h"

void PollOnce(IKsControl* receiver, core::Remote& remote, DWORD tickTime) {
    remote.OnPoll(tickTime);
    if (!IsKeyReady(receiver)) return;
    remote.OnRead(ReadKeyCode(receiver));
}
