// The two receiver requests, byte by byte, through an in-process stand-in for
// the capture filter's control interface.
#include <gtest/gtest.h>

#include <cstring>

#include "ReceiverDouble.h"
#include "receiver/CaptureFilter.h"
#include "receiver/RegisterProtocol.h"

namespace {

uint32_t Dword(const std::vector<BYTE>& bytes, size_t offset) {
    uint32_t value;
    std::memcpy(&value, &bytes[offset], sizeof value);
    return value;
}

void ExpectHeader(const Request& request, const GUID& set) {
    ASSERT_GE(request.property.size(), 24u);
    EXPECT_EQ(std::memcmp(request.property.data(), &set, sizeof set), 0);
    EXPECT_EQ(Dword(request.property, 16), 0u);  // Id
    EXPECT_EQ(Dword(request.property, 20), 1u);  // KSPROPERTY_TYPE_GET
    EXPECT_TRUE(request.bytesReturnedAsked);
}

class Receiver : public ::testing::Test {
protected:
    ReceiverDouble control;
    void SetUp() override { ReceiverControl = &control; }
    void TearDown() override { ReceiverControl = nullptr; }
};

TEST(RequestLayout, GuidsAreStoredInRegistryOrder) {
    const BYTE expected[16] = {0x89, 0xE5, 0x90, 0x94, 0x17, 0x6B, 0xEC, 0x44,
                               0x94, 0x35, 0x5E, 0x35, 0x87, 0xF9, 0xFB, 0xCE};
    const RegisterReadRequest request = MakeRegisterReadRequest(8);
    EXPECT_EQ(std::memcmp(&request, expected, 16), 0);
    const BYTE transfer[16] = {0x66, 0xC4, 0xB1, 0xFB, 0x03, 0xBE, 0x0F, 0x47,
                               0x9A, 0x8F, 0xA2, 0xAA, 0x0F, 0xA2, 0xC0, 0xEE};
    const TransferRequest other = MakeTransferRequest(0x60, nullptr, 0, nullptr, 4);
    EXPECT_EQ(std::memcmp(&other, transfer, 16), 0);
}

TEST_F(Receiver, StatusReadIsOneRegisterRequest) {
    control.statusValue = 0;
    EXPECT_TRUE(IsKeyReady());
    ASSERT_EQ(control.requests.size(), 1u);
    const Request& request = control.requests[0];
    ExpectHeader(request, RegisterPropertySet);
    EXPECT_EQ(request.property.size(), 32u);
    EXPECT_EQ(request.property[24], 8);
    EXPECT_EQ(request.dataLength, 1u);
    EXPECT_EQ(request.dataIn[0], 8);  // the register number travels in the data too
}

TEST_F(Receiver, OnlyAStatusOfZeroMeansAKeyWaits) {
    for (BYTE status : {1, 2, 0x80, 0xFF}) {
        control.statusValue = status;
        EXPECT_FALSE(IsKeyReady()) << int(status);
    }
    control.statusValue = 0;
    for (HRESULT failure : {S_FALSE, E_FAIL, HRESULT(0x00000002)}) {
        control.results = {failure};
        EXPECT_FALSE(IsKeyReady()) << std::hex << failure;
    }
}

TEST_F(Receiver, CodeReadIsAReceiveOnlyTransfer) {
    control.received[0] = 4;
    control.received[1] = 0xA5;
    control.received[2] = 0xA5;
    control.received[3] = 0xA5;
    EXPECT_EQ(ReadKeyCode(), 4);  // the other three bytes never count
    ASSERT_EQ(control.requests.size(), 1u);
    const Request& request = control.requests[0];
    ExpectHeader(request, TransferPropertySet);
    EXPECT_EQ(request.property.size(), 48u);
    EXPECT_EQ(request.property[24], 0x60);
    EXPECT_NE(Dword(request.property, 28), 0u);  // send buffer address
    EXPECT_EQ(Dword(request.property, 32), 0u);  // nothing is sent
    EXPECT_NE(Dword(request.property, 36), 0u);  // receive buffer address
    EXPECT_EQ(Dword(request.property, 40), 4u);
    EXPECT_EQ(request.dataLength, 8u);
}

TEST_F(Receiver, SendFlagAndValueReachTheRequest) {
    const uint32_t value = 0x42;
    BYTE buffer[4];
    const TransferRequest request = MakeTransferRequest(0x61, &value, 5, buffer, sizeof buffer);
    EXPECT_EQ(request.sendCount, 1u);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(request.sendBuffer), 0x42u);
    EXPECT_EQ(request.receiveBuffer, reinterpret_cast<uintptr_t>(buffer));
}

TEST_F(Receiver, AFailedTransferReadsAs255) {
    control.received[0] = 7;
    control.results = {S_FALSE};
    EXPECT_EQ(ReadKeyCode(), 255);
    control.results = {E_INVALIDARG};
    EXPECT_EQ(ReadKeyCode(), 255);
    EXPECT_EQ(ReadKeyCode(), 7);
}

TEST_F(Receiver, WithoutAControlInterfaceNothingIsSent) {
    ReceiverControl = nullptr;
    EXPECT_FALSE(IsKeyReady());
    EXPECT_EQ(ReadKeyCode(), 255);
    uint8_t value = 0x33;
    EXPECT_FALSE(ReadRegisterByte(8, value));
    EXPECT_EQ(value, 0x33);
    EXPECT_TRUE(control.requests.empty());
}

}  // namespace
