#include "receiver/CaptureFilter.h"

#include <uuids.h>

#include <cstring>

#include "receiver/KsControl.h"

IGraphBuilder* ReceiverGraph = nullptr;
IBaseFilter* ReceiverFilter = nullptr;
IKsControl* ReceiverControl = nullptr;

const char* const CaptureFilterNames[4] = {
    "Philips Silicon (7171-35) WDM Video Capture",
    "Philips Cap713x Video Capture",
    "713x BDA Analog Capture",
    "BUFFALO PC-SMP2E/PCI WDM Video Capture",
};

namespace {

constexpr wchar_t GraphFilterName[] = L"Philips Silicon (7171-35) WDM Video Capture";
constexpr wchar_t FriendlyNameProperty[] = L"FriendlyName";
constexpr int FriendlyNameBufferSize = 80;

// The device's friendly name in the ANSI code page, or false when it cannot
// be read.
bool ReadFriendlyName(IMoniker* moniker, char (&name)[FriendlyNameBufferSize], bool& bagFailed) {
    IPropertyBag* bag = nullptr;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                      reinterpret_cast<void**>(&bag)))) {
        bagFailed = true;
        return false;
    }
    VARIANT value;
    VariantInit(&value);
    const HRESULT read = bag->Read(FriendlyNameProperty, &value, nullptr);
    bag->Release();
    bool ok = false;
    if (SUCCEEDED(read) && value.vt == VT_BSTR && value.bstrVal != nullptr) {
        name[0] = '\0';
        // A name that does not fit the buffer fails to convert and stays empty.
        ok = WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, name, FriendlyNameBufferSize,
                                 nullptr, nullptr) > 0;
        name[FriendlyNameBufferSize - 1] = '\0';
    }
    VariantClear(&value);
    return ok;
}

}  // namespace

IBaseFilter* FindCaptureFilter(const GUID& category, const char* name) {
    ICreateDevEnum* devices = nullptr;
    if (CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                         reinterpret_cast<void**>(&devices)) != S_OK)
        return nullptr;
    IEnumMoniker* monikers = nullptr;
    const HRESULT created = devices->CreateClassEnumerator(category, &monikers, 0);
    devices->Release();
    if (created != S_OK || monikers == nullptr) return nullptr;

    monikers->Reset();
    IBaseFilter* result = nullptr;
    IMoniker* moniker = nullptr;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        char friendlyName[FriendlyNameBufferSize];
        bool bagFailed = false;
        const bool named = ReadFriendlyName(moniker, friendlyName, bagFailed);
        if (bagFailed) {
            moniker->Release();
            monikers->Release();
            if (result != nullptr) result->Release();
            return nullptr;
        }
        if (named && std::strcmp(friendlyName, name) == 0) {
            if (result != nullptr) result->Release();
            result = nullptr;
            if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                             reinterpret_cast<void**>(&result)))) {
                moniker->Release();
                monikers->Release();
                return nullptr;
            }
        }
        moniker->Release();
    }
    monikers->Release();
    return result;
}

bool OpenRemoteReceiver() {
    CoInitialize(nullptr);
    if (CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         reinterpret_cast<void**>(&ReceiverGraph)) != S_OK)
        return false;

    IBaseFilter* filter = nullptr;
    for (const char* name : CaptureFilterNames) {
        filter = FindCaptureFilter(CaptureDeviceCategory, name);
        if (filter != nullptr) break;
    }
    if (filter == nullptr) return false;

    if (ReceiverGraph->AddFilter(filter, GraphFilterName) != S_OK) {
        filter->Release();
        return false;
    }
    if (filter->QueryInterface(KsControlIid, reinterpret_cast<void**>(&ReceiverControl)) != S_OK) {
        ReceiverControl = nullptr;
        return false;
    }
    ReceiverFilter = filter;
    return ReceiverControl != nullptr;
}
