// The two receiver requests, byte by byte, through an in-process stand-in for
// the capture filter's control interface.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ReceiverDouble.h"
#include "card/CaptureFilter.h"
#include "card/RegisterProtocol.h"

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
};

// Where the transfer's fields lie in the layout this build sends.
struct TransferOffsets {
    size_t length, sendBuffer, sendCount, receiveBuffer, receiveLength;
};
#ifdef _WIN64
constexpr TransferOffsets kTransfer = {64, 32, 40, 48, 56};
#else
constexpr TransferOffsets kTransfer = {48, 28, 32, 36, 40};
#endif

uint64_t Address(const std::vector<BYTE>& bytes, size_t offset) {
    uint64_t value = 0;
    std::memcpy(&value, &bytes[offset], sizeof(void*));
    return value;
}

// Every byte of the three requests as they leave the program, from given
// addresses, so that the 32-bit layout is checked at either width.
TEST(RequestLayout, RegisterReadBytes) {
    const BYTE expected[32] = {0x89, 0xE5, 0x90, 0x94, 0x17, 0x6B, 0xEC, 0x44,  // Set
                               0x94, 0x35, 0x5E, 0x35, 0x87, 0xF9, 0xFB, 0xCE,
                               0, 0, 0, 0,  // Id
                               1, 0, 0, 0,  // Flags: GET
                               8};          // register, then padding
    const RegisterReadRequest request = MakeRegisterReadRequest(8);
    EXPECT_EQ(std::memcmp(&request, expected, sizeof expected), 0);
}

// Set, Id 0 and Flags GET: how every transfer request begins.
const std::vector<BYTE> TransferHeader = {0x66, 0xC4, 0xB1, 0xFB, 0x03, 0xBE, 0x0F, 0x47,
                                          0x9A, 0x8F, 0xA2, 0xAA, 0x0F, 0xA2, 0xC0, 0xEE,
                                          0, 0, 0, 0, 1, 0, 0, 0};

template <typename Request>
std::vector<BYTE> BytesAfterHeader(const Request& request) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&request);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 24), TransferHeader);
    return std::vector<BYTE>(bytes + 24, bytes + sizeof request);
}

TEST(RequestLayout, TransferBytesOfThe32BitProgramAndOfThe64BitTestBuild) {
    const std::vector<BYTE> narrow = {0x60, 0, 0, 0,              // target, padding
                                      0x78, 0x56, 0x34, 0x12,     // send buffer 0x12345678
                                      1, 0, 0, 0,                 // send count
                                      0xF0, 0xDE, 0xBC, 0x9A,     // receive buffer 0x9ABCDEF0
                                      4, 0, 0, 0, 0, 0, 0, 0};    // receive length, padding
    EXPECT_EQ(BytesAfterHeader(BuildTransferRequest<TransferRequest32>(0x60, 0x12345678u, 7,
                                                                       0x9ABCDEF0u, 4)),
              narrow);
    const std::vector<BYTE> wide = {0x60, 0, 0, 0, 0, 0, 0, 0,    // target, padding
                                    8, 7, 6, 5, 4, 3, 2, 1,       // send buffer
                                    0, 0, 0, 0, 0, 0, 0, 0,       // send count 0, padding
                                    0xF8, 0xF7, 0xF6, 0xF5, 0xF4, 0xF3, 0xF2, 0xF1,  // receive
                                    4, 0, 0, 0, 0, 0, 0, 0};      // receive length, padding
    EXPECT_EQ(BytesAfterHeader(BuildTransferRequest<TransferRequest64>(
                  0x60, 0x0102030405060708ull, 0, 0xF1F2F3F4F5F6F7F8ull, 4)),
              wide);
}

TEST_F(Receiver, StatusReadIsOneRegisterRequest) {
    control.statusValue = 0;
    EXPECT_TRUE(IsKeyReady(&control));
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
        EXPECT_FALSE(IsKeyReady(&control)) << int(status);
    }
    control.statusValue = 0;
    for (HRESULT failure : {S_FALSE, E_FAIL, HRESULT(0x00000002)}) {
        control.results = {failure};
        EXPECT_FALSE(IsKeyReady(&control)) << std::hex << failure;
    }
}

TEST_F(Receiver, CodeReadIsAReceiveOnlyTransfer) {
    control.received[0] = 4;
    control.received[1] = 0xA5;
    control.received[2] = 0xA5;
    control.received[3] = 0xA5;
    EXPECT_EQ(ReadKeyCode(&control), 4);  // the other three bytes never count
    ASSERT_EQ(control.requests.size(), 1u);
    const Request& request = control.requests[0];
    ExpectHeader(request, TransferPropertySet);
    ASSERT_EQ(request.property.size(), kTransfer.length);
    EXPECT_EQ(request.property[24], 0x60);
    EXPECT_NE(Address(request.property, kTransfer.sendBuffer), 0u);
    EXPECT_EQ(Dword(request.property, kTransfer.sendCount), 0u);  // nothing is sent
    EXPECT_NE(Address(request.property, kTransfer.receiveBuffer), 0u);
    EXPECT_EQ(Dword(request.property, kTransfer.receiveLength), 4u);
    EXPECT_EQ(request.dataLength, 8u);
}

TEST_F(Receiver, SendFlagAndValueReachTheRequest) {
    const uint32_t value = 0x42;
    BYTE buffer[4];
    const TransferRequest request = MakeTransferRequest(0x61, &value, 5, buffer, sizeof buffer);
    EXPECT_EQ(request.sendCount, 1u);
    // The whole pointers, at either width.
    EXPECT_EQ(request.sendBuffer, reinterpret_cast<uintptr_t>(&value));
    EXPECT_EQ(request.receiveBuffer, reinterpret_cast<uintptr_t>(buffer));
}

TEST_F(Receiver, AFailedTransferReadsAs255) {
    control.received[0] = 7;
    control.results = {S_FALSE};
    EXPECT_EQ(ReadKeyCode(&control), 255);
    control.results = {E_INVALIDARG};
    EXPECT_EQ(ReadKeyCode(&control), 255);
    EXPECT_EQ(ReadKeyCode(&control), 7);
}

// A tick without one reads no key: shell_test's poll test.
TEST(WithoutAControlInterface, RequestsFailAndLeaveTheirResultsAlone) {
    EXPECT_FALSE(IsKeyReady(nullptr));
    EXPECT_EQ(ReadKeyCode(nullptr), 255);
    uint8_t value = 0x33;
    EXPECT_FALSE(ReadRegisterByte(nullptr, 8, value));
    EXPECT_EQ(value, 0x33);
}

// Discovery over a scripted enumeration: a device whose property bag, or
// whose name read from it, comes back with a success code other than S_OK.
class ScriptedBag : public IPropertyBag {
public:
    HRESULT readResult = S_OK;
    STAND_IN_IUNKNOWN(2)
    STDMETHODIMP Read(LPCOLESTR, VARIANT* value, IErrorLog*) override {
        wchar_t name[64] = {};
        MultiByteToWideChar(CP_ACP, 0, CaptureFilterNames[0], -1, name, 64);
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(name);
        return readResult;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
};

class ScriptedMoniker : public IMoniker {
public:
    HRESULT storageResult = S_FALSE;
    ScriptedBag* bag = nullptr;  // given with every success code
    int bindToObjectCalls = 0;

    STAND_IN_IUNKNOWN(2)
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return E_NOTIMPL; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID, void** out) override {
        ++bindToObjectCalls;
        *out = nullptr;
        return E_FAIL;
    }
    STDMETHODIMP BindToStorage(IBindCtx*, IMoniker*, REFIID, void** out) override {
        *out = SUCCEEDED(storageResult) ? static_cast<IPropertyBag*>(bag) : nullptr;
        return storageResult;
    }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP Hash(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Inverse(IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }
};

class OneMoniker : public IEnumMoniker {
public:
    explicit OneMoniker(IMoniker* moniker) : moniker_(moniker) {}
    STAND_IN_IUNKNOWN(2)
    STDMETHODIMP Next(ULONG, IMoniker** out, ULONG*) override {
        *out = given_ ? nullptr : moniker_;
        const bool first = !given_;
        given_ = true;
        return first ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override {
        given_ = false;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumMoniker**) override { return E_NOTIMPL; }

private:
    IMoniker* moniker_;
    bool given_ = false;
};

TEST(Discovery, OnlyS_OKOpensAPropertyBagAndReadsTheDeviceName) {
    const struct {
        HRESULT storage, read;
        int binds;  // the filter asked for (and refused here): the name matched
    } cases[] = {{S_FALSE, S_OK, 0}, {0x00040000, S_OK, 0}, {E_FAIL, S_OK, 0}, {S_OK, S_OK, 1}, {S_OK, S_FALSE, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.storage << " " << c.read);
        ScriptedBag bag;  // it names the card
        bag.readResult = c.read;
        ScriptedMoniker device;
        device.storageResult = c.storage;
        device.bag = &bag;
        OneMoniker devices(&device);
        EXPECT_EQ(FindNamedFilter(&devices, CaptureFilterNames[0]), nullptr);
        EXPECT_EQ(device.bindToObjectCalls, c.binds);
    }
}

}  // namespace
