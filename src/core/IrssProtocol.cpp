#include "core/IrssProtocol.h"

#include <cstring>

#include "core/RemoteKey.h"

namespace core {

namespace {

// What RegisterClient's answer says of the receiver, as IR Server Suite's
// server describes itself: it can learn, receive and transmit; this one only
// receives.
constexpr char Capabilities[] = "False,True,False";
// The receivers that the receiver questions are answered with.
constexpr char ReceiverName[] = "Marlow";

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

void AppendLittleEndian(std::string& out, uint32_t value) {
    for (int shift = 0; shift <= 24; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

uint32_t LittleEndian(const char* bytes) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

void AppendCounted(std::string& out, const char* text) {
    const size_t length = std::strlen(text);
    AppendLittleEndian(out, static_cast<uint32_t>(length));
    out.append(text, length);
}

bool IsKnownType(uint32_t type) { return type <= static_cast<uint32_t>(IrssType::DetectedBlasters); }

}  // namespace

std::string IrssFrame(IrssType type, uint32_t flags, std::string_view payload) {
    std::string frame;
    frame.reserve(IrssLengthSize + IrssHeaderSize + payload.size());
    AppendBigEndian(frame, static_cast<uint32_t>(IrssHeaderSize + payload.size()));
    AppendLittleEndian(frame, static_cast<uint32_t>(type));
    AppendLittleEndian(frame, flags);
    frame.append(payload);
    return frame;
}

std::string IrssKeyFrame(int code) {
    const RemoteKeyRow* row = RowOf(code);
    if (row == nullptr) return {};
    std::string payload;
    AppendCounted(payload, IrssDevice);
    AppendCounted(payload, row->names.irss);
    return IrssFrame(IrssType::RemoteEvent, IrssNotify, payload);
}

IrssAnswer AnswerIrss(const IrssMessage& message) {
    IrssAnswer answer;
    const bool quiet = (message.flags & IrssForceNotRespond) != 0;
    const auto respond = [&](uint32_t outcome, std::string_view payload) {
        if (!quiet) answer.frame = IrssFrame(message.type, IrssResponse | outcome, payload);
    };
    switch (message.type) {
        case IrssType::RegisterClient:
            answer.registers = true;
            respond(IrssSuccess, Capabilities);
            break;
        case IrssType::UnregisterClient:
            answer.unregisters = true;
            respond(IrssSuccess, {});
            break;
        case IrssType::AvailableReceivers:
        case IrssType::ActiveReceivers:
        case IrssType::DetectedReceivers:
            respond(IrssSuccess, ReceiverName);
            break;
        case IrssType::AvailableBlasters:
        case IrssType::ActiveBlasters:
        case IrssType::DetectedBlasters:
            respond(IrssSuccess, {});
            break;
        case IrssType::Unknown:
            answer.unknown = true;
            break;
        default:
            // Learning, blasting, repeaters and forwarded events: this server
            // only tells of the remote's keys.
            if ((message.flags & IrssRequest) != 0) respond(IrssFailure, {});
            break;
    }
    return answer;
}

uint32_t IrssFrameReader::BigEndian(const char* bytes) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

IrssMessage IrssFrameReader::Parse(std::string_view message) {
    IrssMessage parsed;
    const uint32_t type = LittleEndian(message.data());
    parsed.type = IsKnownType(type) ? static_cast<IrssType>(type) : IrssType::Unknown;
    parsed.flags = LittleEndian(message.data() + 4);
    parsed.payload.assign(message.substr(IrssHeaderSize));
    return parsed;
}

}  // namespace core
