// One program connected to the key server (KeyServer.h), apart from its
// socket: what its bytes ask for, what each read of a key becomes for it, and
// where a key goes while such programs are connected.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/IrssProtocol.h"
#include "core/LircProtocol.h"

namespace core {

enum class ServerProtocol : uint8_t { Lirc, Irss };

// At most this many programs are connected at once; one more is refused.
constexpr size_t ServerClientLimit = 8;
// What waits to be sent to a program that reads slowly; one that lets more
// wait is dropped.
constexpr size_t ServerOutputLimit = 4 * 1024;

// The place of each read in its press: 0 for the first read of a press, as
// the repeat rule tells it, then 1, 2 ..., capped at ReadInPressCap.
constexpr int ReadInPressCap = 0xff;
class PressCounter {
public:
    int Read(bool repeat) {
        count_ = repeat ? (count_ < ReadInPressCap ? count_ + 1 : ReadInPressCap) : 0;
        return count_;
    }

private:
    int count_ = 0;
};

// A process id; 0 where the system could not tell.
using ProcessId = uint32_t;

// True when the read goes to the connected programs alone: the window in
// front belongs to the process of one of them.
bool ForClientsOnly(ProcessId foreground, const ProcessId* clients, size_t count);

class ServerClient {
public:
    explicit ServerClient(ServerProtocol protocol) : protocol_(protocol) {}

    struct Taken {
        bool keep = true;     // false: the client broke the protocol's bounds; drop it
        bool ignored = false; // something that is not the protocol was ignored
    };
    // The bytes the client sent; the answers to them are appended to out.
    Taken Take(const char* data, size_t size, std::string& out);
    // What one read of the key with that code is for this client: empty when
    // nothing (a code of no key, an IR Server Suite client not registered).
    std::string KeyMessage(int code, int readInPress) const;

    ServerProtocol protocol() const { return protocol_; }
    // True when it is sent the keys: a WinLIRC client, or an IR Server Suite
    // client once registered.
    bool ReceivesKeys() const { return protocol_ == ServerProtocol::Lirc || registered_; }

private:
    ServerProtocol protocol_;
    LircLineReader lines_;
    IrssFrameReader frames_;
    bool registered_ = false;
};

}  // namespace core
