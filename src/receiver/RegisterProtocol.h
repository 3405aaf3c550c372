// The card's remote receiver, reached through two vendor property sets of the
// capture filter's kernel-streaming control interface.
#pragma once
#include <windows.h>

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

static_assert(sizeof(void*) == 4, "the request layouts carry 32-bit addresses");

#pragma pack(push, 1)
struct RegisterReadRequest {
    GUID set;
    ULONG id;
    ULONG flags;
    uint8_t registerNumber;
    uint8_t padding[7];
};

struct TransferRequest {
    GUID set;
    ULONG id;
    ULONG flags;
    uint8_t target;
    uint8_t padding1[3];
    ULONG sendBuffer;
    ULONG sendCount;
    ULONG receiveBuffer;
    ULONG receiveLength;
    ULONG padding2;
};
#pragma pack(pop)

static_assert(sizeof(RegisterReadRequest) == 32, "register read request is 32 bytes");
static_assert(sizeof(TransferRequest) == 48, "transfer request is 48 bytes");

constexpr ULONG TransferDataLength = 8;

// Builds the two requests exactly as they are sent.
RegisterReadRequest MakeRegisterReadRequest(uint8_t registerNumber);
TransferRequest MakeTransferRequest(uint8_t target, const uint32_t* sendValue, int sendFlag,
                                    void* receiveBuffer, ULONG receiveLength);

// True only when the request returned S_OK; value is written only then.
bool ReadRegisterByte(uint8_t registerNumber, uint8_t& value);
bool ReceiverTransfer(uint8_t target, const uint32_t& sendValue, int sendFlag,
                      void* receiveBuffer, ULONG receiveLength);

// True when a key code is waiting.
bool IsKeyReady();
// The waiting key code, 0 to 255; 255 when the read fails.
int ReadKeyCode();
