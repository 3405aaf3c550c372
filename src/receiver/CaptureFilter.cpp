#include "receiver/CaptureFilter.h"

#include <uuids.h>

#include <cstring>

#include "receiver/KsControl.h"
#include "shell/FailureTrace.h"

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
// be read. Only S_OK counts as success: a success code that brings no
// property bag is a failure to open it.
bool ReadFriendlyName(IMoniker* moniker, char (&name)[FriendlyNameBufferSize], bool& bagFailed) {
    IPropertyBag* bag = nullptr;
    const HRESULT bound = moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                                 reinterpret_cast<void**>(&bag));
    if (bound != S_OK || bag == nullptr) {
        if (bag != nullptr) bag->Release();
        TraceFailure("opening a capture device's property bag", static_cast<DWORD>(bound));
        bagFailed = true;
        return false;
    }
    VARIANT value;
    VariantInit(&value);
    const HRESULT read = bag->Read(FriendlyNameProperty, &value, nullptr);
    bag->Release();
    bool ok = false;
    if (read == S_OK && value.vt == VT_BSTR && value.bstrVal != nullptr) {
        name[0] = '\0';
        // A name that does not fit the buffer fails to convert and stays empty.
        ok = WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, name, FriendlyNameBufferSize,
                                 nullptr, nullptr) > 0;
        name[FriendlyNameBufferSize - 1] = '\0';
    } else {
        TraceFailure("reading a capture device's FriendlyName", static_cast<DWORD>(read));
    }
    VariantClear(&value);
    return ok;
}

}  // namespace

IBaseFilter* FindNamedFilter(IEnumMoniker* monikers, const char* name) {
    monikers->Reset();
    IBaseFilter* result = nullptr;
    IMoniker* moniker = nullptr;
    while (monikers->Next(1, &moniker, nullptr) == S_OK && moniker != nullptr) {
        char friendlyName[FriendlyNameBufferSize];
        bool bagFailed = false;
        const bool named = ReadFriendlyName(moniker, friendlyName, bagFailed);
        if (bagFailed) {
            moniker->Release();
            if (result != nullptr) result->Release();
            return nullptr;
        }
        if (named && std::strcmp(friendlyName, name) == 0) {
            if (result != nullptr) result->Release();
            result = nullptr;
            const HRESULT bound = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                                        reinterpret_cast<void**>(&result));
            if (bound != S_OK || result == nullptr) {
                if (result != nullptr) result->Release();
                TraceFailure("binding the capture filter", static_cast<DWORD>(bound));
                moniker->Release();
                return nullptr;
            }
        }
        moniker->Release();
        moniker = nullptr;
    }
    return result;
}

IBaseFilter* FindCaptureFilter(const GUID& category, const char* name) {
    ICreateDevEnum* devices = nullptr;
    const HRESULT made = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_ICreateDevEnum, reinterpret_cast<void**>(&devices));
    if (made != S_OK || devices == nullptr) {
        TraceFailure("creating the system device enumerator", static_cast<DWORD>(made));
        return nullptr;
    }
    IEnumMoniker* monikers = nullptr;
    const HRESULT created = devices->CreateClassEnumerator(category, &monikers, 0);
    devices->Release();
    if (created != S_OK || monikers == nullptr) {
        if (monikers != nullptr) monikers->Release();
        return nullptr;  // S_FALSE: the category is empty
    }
    IBaseFilter* result = FindNamedFilter(monikers, name);
    monikers->Release();
    return result;
}

bool OpenRemoteReceiver() {
    CoInitialize(nullptr);
    const HRESULT graph = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IGraphBuilder, reinterpret_cast<void**>(&ReceiverGraph));
    if (graph != S_OK || ReceiverGraph == nullptr) {
        if (ReceiverGraph != nullptr) ReceiverGraph->Release();
        ReceiverGraph = nullptr;
        TraceFailure("creating the filter graph", static_cast<DWORD>(graph));
        return false;
    }

    IBaseFilter* filter = nullptr;
    for (const char* name : CaptureFilterNames) {
        filter = FindCaptureFilter(CaptureDeviceCategory, name);
        if (filter != nullptr) break;
    }
    if (filter == nullptr) {
        TraceFailure("finding the capture filter", static_cast<DWORD>(E_FAIL));
        return false;
    }

    const HRESULT added = ReceiverGraph->AddFilter(filter, GraphFilterName);
    if (added != S_OK) {
        TraceFailure("adding the capture filter to the graph", static_cast<DWORD>(added));
        filter->Release();
        return false;
    }
    const HRESULT queried =
        filter->QueryInterface(KsControlIid, reinterpret_cast<void**>(&ReceiverControl));
    if (queried != S_OK) {
        TraceFailure("asking the capture filter for IKsControl", static_cast<DWORD>(queried));
        ReceiverControl = nullptr;
        return false;
    }
    ReceiverFilter = filter;
    return ReceiverControl != nullptr;
}
