#include "request.h"

#include "emulator_ids.h"

#include <cstdio>
#include <cstring>

namespace cardemu {
namespace {

constexpr DWORD kReadableProtections = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                       PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                       PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kWritableProtections =
    PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

bool regionAllows(const void* p, SIZE_T size, DWORD protections) {
    if (p == nullptr) return false;
    auto cursor = reinterpret_cast<ULONG_PTR>(p);
    const ULONG_PTR end = cursor + size;
    if (end < cursor) return false;  // wraps around the address space
    while (cursor < end) {
        MEMORY_BASIC_INFORMATION info;
        if (VirtualQuery(reinterpret_cast<const void*>(cursor), &info, sizeof info) == 0)
            return false;
        if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0 ||
            (info.Protect & protections) == 0)
            return false;
        cursor = reinterpret_cast<ULONG_PTR>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

template <typename T>
T readAt(const BYTE* base, ULONG offset) {
    T value;
    std::memcpy(&value, base + offset, sizeof value);
    return value;
}

BYTE* pointerAt(const BYTE* base, ULONG offset) {
    return reinterpret_cast<BYTE*>(static_cast<ULONG_PTR>(readAt<layout::Address>(base, offset)));
}

std::string mismatch(const char* what, unsigned long got, unsigned long want) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %lu, expected %lu", what, got, want);
    return text;
}

std::string mismatchHex(const char* what, unsigned long got, unsigned long want) {
    char text[96];
    std::snprintf(text, sizeof text, "%s 0x%02lx, expected 0x%02lx", what, got, want);
    return text;
}

std::string badPointer(const char* what, const void* p, const char* access) {
    char text[96];
    std::snprintf(text, sizeof text, "%s 0x%0*llx not %s", what,
                  static_cast<int>(2 * sizeof p),
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(p)), access);
    return text;
}

// Checks shared by both request kinds, from the length on.
std::string checkHeader(const BYTE* prop, ULONG propertyLength, ULONG expectedLength) {
    if (propertyLength != expectedLength)
        return mismatch("property length", propertyLength, expectedLength);
    const ULONG id = readAt<ULONG>(prop, layout::kIdOffset);
    if (id != 0) return mismatch("property id", id, 0);
    const ULONG flags = readAt<ULONG>(prop, layout::kFlagsOffset);
    if (flags != layout::kPropertyGet) return mismatchHex("flags", flags, layout::kPropertyGet);
    return {};
}

std::string checkData(const void* data, ULONG dataLength, ULONG expectedLength) {
    if (data == nullptr) return "null property data";
    if (dataLength != expectedLength) return mismatch("data length", dataLength, expectedLength);
    if (!isWritable(data, dataLength)) return badPointer("property data", data, "writable");
    return {};
}

std::string checkStatus(const BYTE* prop, ULONG propertyLength, void* data, ULONG dataLength,
                        BYTE*& statusOut) {
    std::string problem = checkHeader(prop, propertyLength, layout::kStatusPropertyLength);
    if (!problem.empty()) return problem;
    const BYTE reg = prop[layout::kSelectorOffset];
    if (reg != layout::kKeyStatusRegister)
        return mismatch("register", reg, layout::kKeyStatusRegister);
    problem = checkData(data, dataLength, layout::kStatusDataLength);
    if (!problem.empty()) return problem;
    auto* bytes = static_cast<BYTE*>(data);
    if (bytes[0] != layout::kKeyStatusRegister)
        return mismatch("register in data", bytes[0], layout::kKeyStatusRegister);
    statusOut = bytes;
    return {};
}

std::string checkTransfer(const BYTE* prop, ULONG propertyLength, void* data, ULONG dataLength,
                          BYTE*& receiveOut) {
    std::string problem = checkHeader(prop, propertyLength, layout::kTransferPropertyLength);
    if (!problem.empty()) return problem;
    const BYTE target = prop[layout::kSelectorOffset];
    if (target != layout::kReceiverTarget)
        return mismatchHex("target", target, layout::kReceiverTarget);
    const BYTE* send = pointerAt(prop, layout::kSendBufferOffset);
    if (!isReadable(send, sizeof(ULONG))) return badPointer("send buffer", send, "readable");
    const ULONG sendValue = readAt<ULONG>(send, 0);
    if (sendValue != 0) return mismatchHex("send value", sendValue, 0);
    const ULONG sendCount = readAt<ULONG>(prop, layout::kSendCountOffset);
    if (sendCount != 0) return mismatch("send count", sendCount, 0);
    BYTE* receive = pointerAt(prop, layout::kReceiveBufferOffset);
    const ULONG receiveLength = readAt<ULONG>(prop, layout::kReceiveLengthOffset);
    if (receiveLength != layout::kReceiveLength)
        return mismatch("receive length", receiveLength, layout::kReceiveLength);
    if (!isWritable(receive, layout::kReceiveLength))
        return badPointer("receive buffer", receive, "writable");
    problem = checkData(data, dataLength, layout::kTransferDataLength);
    if (problem.empty()) receiveOut = receive;
    return problem;
}

}  // namespace

const char* requestKindName(RequestKind kind) {
    switch (kind) {
        case RequestKind::Status: return "status";
        case RequestKind::Transfer: return "transfer";
        case RequestKind::Unknown: break;
    }
    return "unknown";
}

bool isReadable(const void* p, SIZE_T size) { return regionAllows(p, size, kReadableProtections); }

bool isWritable(const void* p, SIZE_T size) { return regionAllows(p, size, kWritableProtections); }

CheckedRequest checkRequest(const void* property, ULONG propertyLength, void* data,
                            ULONG dataLength, const ULONG* bytesReturned) {
    CheckedRequest out;
    if (property == nullptr) {
        out.problem = "null property";
        return out;
    }
    if (propertyLength < sizeof(GUID)) {
        out.problem = mismatch("property length", propertyLength, sizeof(GUID)) + " at least";
        return out;
    }
    if (!isReadable(property, propertyLength)) {
        out.problem = badPointer("property", property, "readable");
        return out;
    }
    const auto* prop = static_cast<const BYTE*>(property);
    const GUID set = readAt<GUID>(prop, layout::kSetOffset);
    if (IsEqualGUID(set, kRegisterReadSet)) {
        out.kind = RequestKind::Status;
    } else if (IsEqualGUID(set, kTransferSet)) {
        out.kind = RequestKind::Transfer;
    } else {
        out.problem = "unknown property set";
        return out;
    }
    if (bytesReturned != nullptr && !isWritable(bytesReturned, sizeof *bytesReturned)) {
        out.problem = badPointer("bytes-returned", bytesReturned, "writable");
    } else if (out.kind == RequestKind::Status) {
        out.problem = checkStatus(prop, propertyLength, data, dataLength, out.statusOut);
    } else {
        out.problem = checkTransfer(prop, propertyLength, data, dataLength, out.receiveOut);
    }
    return out;
}

}  // namespace cardemu
