// The card's remote receiver, reached through two vendor property sets of the
// capture filter's kernel-streaming control interface.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <strmif.h>
#include <ks.h>  // KSPROPERTY_TYPE_GET
#include <ksproxy.h>

#include <cstddef>
#include <cstdint>

// {9490E589-6B17-44EC-9435-5E3587F9FBCE}: reads one byte register.
constexpr GUID RegisterPropertySet = {0x9490E589, 0x6B17, 0x44EC,
                                      {0x94, 0x35, 0x5E, 0x35, 0x87, 0xF9, 0xFB, 0xCE}};
// {FBB1C466-BE03-470F-9A8F-A2AA0FA2C0EE}: a transfer with a target on the card.
constexpr GUID TransferPropertySet = {0xFBB1C466, 0xBE03, 0x470F,
                                      {0x9A, 0x8F, 0xA2, 0xAA, 0x0F, 0xA2, 0xC0, 0xEE}};

constexpr uint8_t KeyStatusRegister = 8;
constexpr uint8_t KeyReceiverTarget = 0x60;
constexpr ULONG KeyReceiveLength = 4;
constexpr int FailedKeyCode = 255;

#pragma pack(push, 1)
struct RegisterReadRequest {
    GUID set;
    ULONG id;
    ULONG flags;
    uint8_t registerNumber;
    uint8_t padding[7];
};

// The transfer request as a 32-bit process sends it: the two buffer
// addresses are 32-bit fields. This is the program's own layout.
struct TransferRequest32 {
    GUID set;
    ULONG id;
    ULONG flags;
    uint8_t target;
    uint8_t padding1[3];
    uint32_t sendBuffer;
    ULONG sendCount;
    uint32_t receiveBuffer;
    ULONG receiveLength;
    ULONG padding2;
};

// The transfer request of the x86-64 test build. The layout that the card's
// driver expects from a 64-bit caller is not known; this one is the test
// bench's own, which its card emulator checks: the same fields, each address
// widened to 64 bits at its natural alignment.
//   0 Set (16)  16 Id (4)  20 Flags (4)  24 target (1)  25 padding (7)
//  32 send buffer address (8)  40 send count (4)  44 padding (4)
//  48 receive buffer address (8)  56 receive length (4)  60 padding (4)
struct TransferRequest64 {
    GUID set;
    ULONG id;
    ULONG flags;
    uint8_t target;
    uint8_t padding1[7];
    uint64_t sendBuffer;
    ULONG sendCount;
    ULONG padding2;
    uint64_t receiveBuffer;
    ULONG receiveLength;
    ULONG padding3;
};
#pragma pack(pop)

static_assert(sizeof(RegisterReadRequest) == 32, "register read request is 32 bytes");
static_assert(offsetof(RegisterReadRequest, registerNumber) == 24, "register number at 24");
static_assert(sizeof(TransferRequest32) == 48, "transfer request is 48 bytes");
static_assert(offsetof(TransferRequest32, target) == 24 &&
                  offsetof(TransferRequest32, sendBuffer) == 28 &&
                  offsetof(TransferRequest32, sendCount) == 32 &&
                  offsetof(TransferRequest32, receiveBuffer) == 36 &&
                  offsetof(TransferRequest32, receiveLength) == 40,
              "transfer request fields at 24, 28, 32, 36 and 40");
static_assert(sizeof(TransferRequest64) == 64 && offsetof(TransferRequest64, sendBuffer) == 32 &&
                  offsetof(TransferRequest64, receiveBuffer) == 48 &&
                  offsetof(TransferRequest64, receiveLength) == 56,
              "test build's transfer request as written down above");

// The layout this build sends: its address fields hold a whole pointer.
#ifdef _WIN64
using TransferRequest = TransferRequest64;
#else
using TransferRequest = TransferRequest32;
#endif
static_assert(sizeof(TransferRequest::sendBuffer) == sizeof(void*) &&
                  sizeof(TransferRequest::receiveBuffer) == sizeof(void*),
              "an address is never cut");

constexpr ULONG TransferDataLength = 8;

// Builds the two requests exactly as they are sent.
RegisterReadRequest MakeRegisterReadRequest(uint8_t registerNumber);
// A transfer request of either layout from addresses given as numbers.
template <typename Request>
Request BuildTransferRequest(uint8_t target, decltype(Request::sendBuffer) sendAddress,
                             int sendFlag, decltype(Request::receiveBuffer) receiveAddress,
                             ULONG receiveLength) {
    Request request = {};
    request.set = TransferPropertySet;
    request.id = 0;
    request.flags = KSPROPERTY_TYPE_GET;
    request.target = target;
    request.sendBuffer = sendAddress;
    request.sendCount = sendFlag != 0 ? 1 : 0;
    request.receiveBuffer = receiveAddress;
    request.receiveLength = receiveLength;
    return request;
}
TransferRequest MakeTransferRequest(uint8_t target, const uint32_t* sendValue, int sendFlag,
                                    void* receiveBuffer, ULONG receiveLength);

// The requests, sent through the capture filter's control interface (none
// while it is null). True only when the request returned S_OK; value is
// written only then.
bool ReadRegisterByte(IKsControl* control, uint8_t registerNumber, uint8_t& value);
bool ReceiverTransfer(IKsControl* control, uint8_t target, const uint32_t& sendValue,
                      int sendFlag, void* receiveBuffer, ULONG receiveLength);

// What the key status register says: a code waits, none does, or the
// request failed (error holds its code then).
enum class KeyStatus { Waiting, None, Failed };
KeyStatus ReadKeyStatus(IKsControl* control, HRESULT& error);
// True when a key code is waiting.
bool IsKeyReady(IKsControl* control);
// The waiting key code, 0 to 255; 255 when the read fails.
int ReadKeyCode(IKsControl* control);
