// The programs that take the remote's keys from this one (KeyServer.h), as
// the router sees them: told of every read before it is routed, and when it
// has been (so that the application in front gets it first).
#pragma once

namespace core {

class KeyListeners {
public:
    // One read of the card: repeat as the repeat rule says. True when the
    // read is theirs alone and is not to be routed.
    virtual bool Heard(int code, bool repeat) = 0;
    // The read last heard has been routed, or was theirs alone.
    virtual void Routed() = 0;

protected:
    ~KeyListeners() = default;
};

}  // namespace core
