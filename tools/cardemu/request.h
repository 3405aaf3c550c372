// Byte-level checking of the IKsControl property requests the receiver accepts.
#pragma once

#include <windows.h>

#include <string>

namespace cardemu {

enum class RequestKind { Status, Transfer, Unknown };

const char* requestKindName(RequestKind kind);

// Result of checking one KsProperty call. `problem` is empty for a well-formed
// request; the output pointers are set only then.
struct CheckedRequest {
    RequestKind kind = RequestKind::Unknown;
    std::string problem;
    BYTE* statusOut = nullptr;   // register value goes here (status)
    BYTE* receiveOut = nullptr;  // received bytes go here (transfer)
};

CheckedRequest checkRequest(const void* property, ULONG propertyLength, void* data,
                            ULONG dataLength, const ULONG* bytesReturned);

// Memory probes based on VirtualQuery: every byte of [p, p+size) must be
// committed with a protection that allows the access.
bool isReadable(const void* p, SIZE_T size);
bool isWritable(const void* p, SIZE_T size);

}  // namespace cardemu
