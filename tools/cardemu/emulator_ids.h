// Identifiers shared by the card emulator DLL and its test client.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace cardemu {

// The emulator's COM class, registered as the CLSID of every emulated device.
constexpr GUID kClsidCardEmulator = {
    0x532BC67E, 0xDFFF, 0x4EC3, {0x94, 0xA7, 0xAC, 0x34, 0x9F, 0xD4, 0x64, 0xEC}};

// Device category the capture filters are listed under.
constexpr GUID kKsCategoryCapture = {
    0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

// Kernel-streaming control interface exposed by WDM capture filters.
constexpr GUID kIidKsControl = {
    0x28F54685, 0x06FD, 0x11D2, {0xB2, 0x7A, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

// Property set of the remote receiver's register reads.
constexpr GUID kRegisterReadSet = {
    0x9490E589, 0x6B17, 0x44EC, {0x94, 0x35, 0x5E, 0x35, 0x87, 0xF9, 0xFB, 0xCE}};

// Property set of the receiver's serial-bus transfers.
constexpr GUID kTransferSet = {
    0xFBB1C466, 0xBE03, 0x470F, {0x9A, 0x8F, 0xA2, 0xAA, 0x0F, 0xA2, 0xC0, 0xEE}};

// User-mode IKsControl as implemented by kernel-streaming proxies. Declared
// here so neither side depends on which SDK header happens to carry it.
struct KsControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE KsProperty(void* property, ULONG propertyLength,
                                                 void* propertyData, ULONG dataLength,
                                                 ULONG* bytesReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE KsMethod(void* method, ULONG methodLength,
                                               void* methodData, ULONG dataLength,
                                               ULONG* bytesReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE KsEvent(void* event, ULONG eventLength,
                                              void* eventData, ULONG dataLength,
                                              ULONG* bytesReturned) = 0;
};

// Layout of the two requests, byte offsets inside the property buffer.
namespace layout {
constexpr ULONG kSetOffset = 0;
constexpr ULONG kIdOffset = 16;
constexpr ULONG kFlagsOffset = 20;
constexpr ULONG kSelectorOffset = 24;  // register number or bus target
constexpr ULONG kPropertyGet = 1;

constexpr ULONG kStatusPropertyLength = 32;
constexpr ULONG kStatusDataLength = 1;
constexpr BYTE kKeyStatusRegister = 8;

// The transfer carries two buffer addresses of the caller's width. A 32-bit
// caller sends the card's own 48-byte layout. For a 64-bit caller the card's
// layout is not known; the bench's 64-bit build sends one of its own, 64
// bytes, each address widened to 64 bits at its natural alignment:
//   24 target, 32 send buffer (8), 40 send count, 48 receive buffer (8),
//   56 receive length; the rest padding.
using Address = ULONG_PTR;
constexpr bool kWideAddresses = sizeof(Address) == 8;
constexpr ULONG kTransferPropertyLength = kWideAddresses ? 64 : 48;
constexpr ULONG kSendBufferOffset = kWideAddresses ? 32 : 28;
constexpr ULONG kSendCountOffset = kSendBufferOffset + sizeof(Address);
constexpr ULONG kReceiveBufferOffset = kWideAddresses ? 48 : 36;
constexpr ULONG kReceiveLengthOffset = kReceiveBufferOffset + sizeof(Address);
static_assert(sizeof(Address) == sizeof(void*), "addresses are the caller's width");
constexpr ULONG kTransferDataLength = 8;
constexpr BYTE kReceiverTarget = 0x60;
constexpr ULONG kReceiveLength = 4;

// Key status register values.
constexpr BYTE kStatusCodeWaiting = 0;
constexpr BYTE kStatusIdle = 1;
}  // namespace layout

}  // namespace cardemu
