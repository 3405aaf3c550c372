// An in-process stand-in for the capture filter's control interface: it
// records every request and answers from a script.
#pragma once
#include <cstring>
#include <deque>
#include <vector>

#include "card/CaptureFilter.h"
#include "card/RegisterProtocol.h"

// The IUnknown of a stand-in that the test owns: no other interface, no counting.
#define STAND_IN_IUNKNOWN(addRefResult)                                   \
    STDMETHODIMP QueryInterface(REFIID, void** out) override {            \
        *out = nullptr;                                                   \
        return E_NOINTERFACE;                                             \
    }                                                                     \
    STDMETHODIMP_(ULONG) AddRef() override { return addRefResult; }       \
    STDMETHODIMP_(ULONG) Release() override { return 1; }

struct Request {
    std::vector<BYTE> property;
    std::vector<BYTE> dataIn;
    ULONG dataLength;
    bool bytesReturnedAsked;
};

// Answers each request with the next scripted result; on S_OK a status read
// gets statusValue and a transfer gets received in its receive buffer.
class ReceiverDouble : public IKsControl {
public:
    std::vector<Request> requests;
    std::deque<HRESULT> results;
    BYTE statusValue = 1;
    BYTE received[4] = {};
    bool keepRequests = true;

    STAND_IN_IUNKNOWN(1)
    STDMETHODIMP KsProperty(PKSPROPERTY property, ULONG length, LPVOID data, ULONG dataLength,
                            ULONG* bytesReturned) override {
        const BYTE* raw = reinterpret_cast<const BYTE*>(property);
        const BYTE* in = static_cast<const BYTE*>(data);
        if (keepRequests)
            requests.push_back({std::vector<BYTE>(raw, raw + length),
                            std::vector<BYTE>(in, in + (dataLength == 1 ? 1 : 0)), dataLength,
                            bytesReturned != nullptr});
        const HRESULT result = results.empty() ? S_OK : results.front();
        if (!results.empty()) results.pop_front();
        if (result != S_OK) return result;
        if (length == sizeof(RegisterReadRequest)) {
            *static_cast<BYTE*>(data) = statusValue;
        } else {
            const TransferRequest* transfer = reinterpret_cast<const TransferRequest*>(property);
            std::memcpy(reinterpret_cast<void*>(transfer->receiveBuffer), received, 4);
        }
        return S_OK;
    }
    STDMETHODIMP KsMethod(PKSMETHOD, ULONG, LPVOID, ULONG, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP KsEvent(PKSEVENT, ULONG, LPVOID, ULONG, ULONG*) override { return E_NOTIMPL; }
};

