#include "remote/KeyPoll.h"

void PollOnce(IKsControl* receiver, core::Remote& remote) {
    if (!IsKeyReady(receiver)) return;
    remote.OnRead(ReadKeyCode(receiver));
}
