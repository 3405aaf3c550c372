#include "card/CaptureFilter.h"

#include "win32/FailureTrace.h"

#include <uuids.h>

#include <cstring>
#include <utility>

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
    ComPtr<IPropertyBag> bag;
    const HRESULT bound = moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid());
    if (bound != S_OK || !bag) {
        TraceFailure("opening a capture device's property bag", static_cast<DWORD>(bound));
        bagFailed = true;
        return false;
    }
    VARIANT value;
    VariantInit(&value);
    const HRESULT read = bag->Read(FriendlyNameProperty, &value, nullptr);
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
    ComPtr<IBaseFilter> result;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK && moniker) {
        char friendlyName[FriendlyNameBufferSize];
        bool bagFailed = false;
        const bool named = ReadFriendlyName(moniker.Get(), friendlyName, bagFailed);
        if (bagFailed) return nullptr;
        // The last device of the name wins: kept as the system has always
        // chosen, so that a machine with two such cards keeps its choice.
        if (named && std::strcmp(friendlyName, name) == 0) {
            const HRESULT bound =
                moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, result.PutVoid());
            if (bound != S_OK || !result) {
                TraceFailure("binding the capture filter", static_cast<DWORD>(bound));
                return nullptr;
            }
        }
    }
    return result.Detach();
}

namespace {

// A new in-process COM object; empty, with the failure traced as what, unless
// its creation returned exactly S_OK.
template <typename Interface>
ComPtr<Interface> CreateInProcess(REFCLSID clsid, REFIID iid, const char* what) {
    ComPtr<Interface> object;
    const HRESULT made =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.PutVoid());
    if (made != S_OK || !object) {
        object.Reset();
        TraceFailure(what, static_cast<DWORD>(made));
    }
    return object;
}

}  // namespace

IBaseFilter* FindCaptureFilter(const GUID& category, const char* name) {
    ComPtr<ICreateDevEnum> devices = CreateInProcess<ICreateDevEnum>(
        CLSID_SystemDeviceEnum, IID_ICreateDevEnum, "creating the system device enumerator");
    if (!devices) return nullptr;
    ComPtr<IEnumMoniker> monikers;
    const HRESULT created = devices->CreateClassEnumerator(category, monikers.Put(), 0);
    if (created != S_OK || !monikers) return nullptr;  // S_FALSE: the category is empty
    return FindNamedFilter(monikers.Get(), name);
}

void RemoteReceiver::Close() {
    control_.Reset();
    filter_.Reset();
    graph_.Reset();  // takes the filter out of it
}

bool RemoteReceiver::Open() {
    Close();
    graph_ = CreateInProcess<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder,
                                            "creating the filter graph");
    if (!graph_) return false;

    ComPtr<IBaseFilter> filter;
    for (const char* name : CaptureFilterNames) {
        filter = ComPtr<IBaseFilter>(FindCaptureFilter(KSCATEGORY_CAPTURE, name));
        if (filter) break;
    }
    if (!filter) {
        TraceFailure("finding the capture filter", static_cast<DWORD>(E_FAIL));
        return false;
    }

    const HRESULT added = graph_->AddFilter(filter.Get(), GraphFilterName);
    if (added != S_OK) {
        TraceFailure("adding the capture filter to the graph", static_cast<DWORD>(added));
        return false;
    }
    ComPtr<IKsControl> control;
    const HRESULT queried = filter->QueryInterface(IID_IKsControl, control.PutVoid());
    if (queried != S_OK || !control) {
        TraceFailure("asking the capture filter for IKsControl", static_cast<DWORD>(queried));
        return false;
    }
    filter_ = std::move(filter);
    control_ = std::move(control);
    return true;
}
