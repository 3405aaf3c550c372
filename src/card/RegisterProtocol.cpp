#include "card/RegisterProtocol.h"

namespace {

uintptr_t AddressOf(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

bool SendRequest(IKsControl* control, void* request, ULONG requestLength, void* data,
                 ULONG dataLength) {
    if (control == nullptr) return false;
    ULONG bytesReturned = 0;
    return control->KsProperty(static_cast<PKSPROPERTY>(request), requestLength, data,
                                       dataLength, &bytesReturned) == S_OK;
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
    RegisterReadRequest request = MakeRegisterReadRequest(registerNumber);
    uint8_t data = registerNumber;
    if (!SendRequest(control, &request, sizeof request, &data, sizeof data)) return false;
    value = data;
    return true;
}

bool ReceiverTransfer(IKsControl* control, uint8_t target, const uint32_t& sendValue,
                      int sendFlag, void* receiveBuffer, ULONG receiveLength) {
    TransferRequest request =
        MakeTransferRequest(target, &sendValue, sendFlag, receiveBuffer, receiveLength);
    uint8_t data[TransferDataLength];
    return SendRequest(control, &request, sizeof request, data, sizeof data);
}

bool IsKeyReady(IKsControl* control) {
    uint8_t status = 1;
    ReadRegisterByte(control, KeyStatusRegister, status);
    return status == 0;
}

int ReadKeyCode(IKsControl* control) {
    uint8_t received[KeyReceiveLength] = {};
    const uint32_t nothingToSend = 0;
    if (!ReceiverTransfer(control, KeyReceiverTarget, nothingToSend, 0, received, sizeof received))
        return FailedKeyCode;
    return received[0];
}
