#include "card/RegisterProtocol.h"

namespace {

uintptr_t AddressOf(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// The request's result; E_POINTER without a control interface.
HRESULT SendRequest(IKsControl* control, void* request, ULONG requestLength, void* data,
                    ULONG dataLength) {
    if (control == nullptr) return E_POINTER;
    ULONG bytesReturned = 0;
    return control->KsProperty(static_cast<PKSPROPERTY>(request), requestLength, data,
                               dataLength, &bytesReturned);
}

// Reads one byte register; its value only when the request returned S_OK.
HRESULT ReadRegister(IKsControl* control, uint8_t registerNumber, uint8_t& value) {
    RegisterReadRequest request = MakeRegisterReadRequest(registerNumber);
    uint8_t data = registerNumber;
    const HRESULT result = SendRequest(control, &request, sizeof request, &data, sizeof data);
    if (result == S_OK) value = data;
    return result;
}

}  // namespace

RegisterReadRequest MakeRegisterReadRequest(uint8_t registerNumber) {
    RegisterReadRequest request = {};
    request.set = RegisterPropertySet;
    request.id = 0;
    request.flags = KSPROPERTY_TYPE_GET;
    request.registerNumber = registerNumber;
    return request;
}

TransferRequest MakeTransferRequest(uint8_t target, const uint32_t* sendValue, int sendFlag,
                                    void* receiveBuffer, ULONG receiveLength) {
    return BuildTransferRequest<TransferRequest>(target, AddressOf(sendValue), sendFlag,
                                                 AddressOf(receiveBuffer), receiveLength);
}

bool ReadRegisterByte(IKsControl* control, uint8_t registerNumber, uint8_t& value) {
    return ReadRegister(control, registerNumber, value) == S_OK;
}

bool ReceiverTransfer(IKsControl* control, uint8_t target, const uint32_t& sendValue,
                      int sendFlag, void* receiveBuffer, ULONG receiveLength) {
    TransferRequest request =
        MakeTransferRequest(target, &sendValue, sendFlag, receiveBuffer, receiveLength);
    uint8_t data[TransferDataLength];
    return SendRequest(control, &request, sizeof request, data, sizeof data) == S_OK;
}

KeyStatus ReadKeyStatus(IKsControl* control, HRESULT& error) {
    uint8_t status = 1;
    error = ReadRegister(control, KeyStatusRegister, status);
    if (error != S_OK) return KeyStatus::Failed;
    return status == 0 ? KeyStatus::Waiting : KeyStatus::None;
}

bool IsKeyReady(IKsControl* control) {
    HRESULT error = S_OK;
    return ReadKeyStatus(control, error) == KeyStatus::Waiting;
}

int ReadKeyCode(IKsControl* control) {
    uint8_t received[KeyReceiveLength] = {};
    const uint32_t nothingToSend = 0;
    if (!ReceiverTransfer(control, KeyReceiverTarget, nothingToSend, 0, received, sizeof received))
        return FailedKeyCode;
    return received[0];
}
