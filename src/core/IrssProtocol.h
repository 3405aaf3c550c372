// IR Server Suite's protocol, as Kodi for Windows' client speaks it and this
// program serves it on the loopback (KeyServer.h): each message a frame of a
// 4-byte big-endian length, then the message: its type and its flags as
// little-endian 32-bit numbers, then its payload. A client registers; each
// read of a key is then a RemoteEvent notification from the "Abstract"
// remote. Receive-only: no message makes the program act.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

constexpr uint16_t IrssPort = 24000;
// The device of every RemoteEvent: IR Server Suite's remote that sends the
// keys' names, which Kodi's IRSSmap.xml maps.
constexpr char IrssDevice[] = "Abstract";
// A frame's message, after its length, is at most this long.
constexpr uint32_t IrssMessageLimit = 64 * 1024;
constexpr size_t IrssLengthSize = 4;
constexpr size_t IrssHeaderSize = 8;  // type and flags

enum class IrssType : uint32_t {
    Unknown = 0,
    RegisterClient = 1,
    UnregisterClient = 2,
    RegisterRepeater = 3,
    UnregisterRepeater = 4,
    LearnIR = 5,
    BlastIR = 6,
    Error = 7,
    ServerShutdown = 8,
    ServerSuspend = 9,
    ServerResume = 10,
    RemoteEvent = 11,
    KeyboardEvent = 12,
    MouseEvent = 13,
    ForwardRemoteEvent = 14,
    ForwardKeyboardEvent = 15,
    ForwardMouseEvent = 16,
    AvailableReceivers = 17,
    AvailableBlasters = 18,
    ActiveReceivers = 19,
    ActiveBlasters = 20,
    DetectedReceivers = 21,
    DetectedBlasters = 22,
};

enum IrssFlags : uint32_t {
    IrssNone = 0,
    IrssRequest = 0x0001,
    IrssResponse = 0x0002,
    IrssNotify = 0x0004,
    IrssSuccess = 0x0008,
    IrssFailure = 0x0010,
    IrssTimeout = 0x0020,
    IrssForceNotRespond = 0x0400,
};

struct IrssMessage {
    IrssType type = IrssType::Unknown;
    uint32_t flags = IrssNone;
    std::string payload;
};

// The frame of a message: its length, type, flags and payload, to be sent in
// one piece (Kodi's reader loses a message that arrives in two).
std::string IrssFrame(IrssType type, uint32_t flags, std::string_view payload = {});
// The RemoteEvent notification for one read of the key with that code:
// the device's and the key's names, each after its little-endian length.
// Empty for a code of no key.
std::string IrssKeyFrame(int code);

// What the server does with one message from a client.
struct IrssAnswer {
    std::string frame;        // to send; may be empty
    bool registers = false;   // the client now receives the keys
    bool unregisters = false; // it no longer does
    bool unknown = false;     // not a message of the protocol's: ignored
};
IrssAnswer AnswerIrss(const IrssMessage& message);

// Splits a client's bytes into messages. A frame whose message is longer than
// IrssMessageLimit, or shorter than its type and flags, ends the client: Take
// returns false from then on.
class IrssFrameReader {
public:
    template <typename OnMessage>
    bool Take(const char* data, size_t size, OnMessage&& onMessage) {
        if (broken_) return false;
        pending_.append(data, size);
        size_t at = 0;
        while (pending_.size() - at >= IrssLengthSize) {
            const uint32_t length = BigEndian(pending_.data() + at);
            if (length > IrssMessageLimit || length < IrssHeaderSize) {
                broken_ = true;
                pending_.clear();
                return false;
            }
            if (pending_.size() - at - IrssLengthSize < length) break;
            onMessage(Parse(std::string_view(pending_).substr(at + IrssLengthSize, length)));
            at += IrssLengthSize + length;
        }
        pending_.erase(0, at);
        return true;
    }

private:
    static uint32_t BigEndian(const char* bytes);
    static IrssMessage Parse(std::string_view message);

    std::string pending_;
    bool broken_ = false;
};

}  // namespace core
