#include "remote/KeyPoll.h"

void PollOnce(IKsControl* receiver, core::Remote& remote, TickSource now) {
    if (!IsKeyReady(receiver)) return;
    const int code = ReadKeyCode(receiver);
    remote.OnRead(code, now());
}
