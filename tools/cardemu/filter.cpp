#include "filter.h"

#include <oleauto.h>

#include <cstring>
#include <cwchar>

namespace cardemu {

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

namespace {

// A filter without pins still hands out a working, empty pin enumerator.
class EmptyPinEnum final : public IEnumPins {
public:
    EmptyPinEnum() { ++g_liveObjects; }
    EmptyPinEnum(const EmptyPinEnum&) = delete;
    EmptyPinEnum& operator=(const EmptyPinEnum&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumPins)) {
            *out = static_cast<IEnumPins*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override {
        if (!pins || (count > 1 && !fetched)) return E_POINTER;
        if (fetched) *fetched = 0;
        return count == 0 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return count == 0 ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** copy) override {
        if (!copy) return E_POINTER;
        *copy = new EmptyPinEnum();
        return S_OK;
    }

private:
    ~EmptyPinEnum() { --g_liveObjects; }
    std::atomic<ULONG> refs_{1};
};

// Reads one optional value from the device's property bag.
bool readBag(IPropertyBag* bag, const wchar_t* name, VARIANT& value) {
    VariantInit(&value);
    return SUCCEEDED(bag->Read(name, &value, nullptr));
}

std::wstring readText(IPropertyBag* bag, const wchar_t* name) {
    VARIANT value;
    std::wstring text;
    if (readBag(bag, name, value) && V_VT(&value) == VT_BSTR && V_BSTR(&value))
        text.assign(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
    VariantClear(&value);
    return text;
}

// Flags are REG_DWORD values; a string holding a nonzero number counts too.
bool readFlag(IPropertyBag* bag, const wchar_t* name) {
    VARIANT value;
    bool set = false;
    if (readBag(bag, name, value)) {
        if (V_VT(&value) == VT_I4 || V_VT(&value) == VT_UI4)
            set = V_I4(&value) != 0;
        else if (V_VT(&value) == VT_BSTR && V_BSTR(&value))
            set = std::wcstoul(V_BSTR(&value), nullptr, 0) != 0;
    }
    VariantClear(&value);
    return set;
}

}  // namespace

CaptureFilter::CaptureFilter() { ++g_liveObjects; }

CaptureFilter::~CaptureFilter() {
    if (clock_) clock_->Release();
    --g_liveObjects;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
        IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter)) {
        *out = static_cast<IBaseFilter*>(this);
    } else if (IsEqualIID(iid, IID_IPersistPropertyBag)) {
        *out = static_cast<IPersistPropertyBag*>(this);
    } else if (IsEqualIID(iid, kIidKsControl) && !noKsControl_) {
        *out = static_cast<KsControl*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CaptureFilter::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CaptureFilter::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClsidCardEmulator;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::Stop() {
    std::lock_guard<std::mutex> guard(stateLock_);
    state_ = State_Stopped;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::Pause() {
    std::lock_guard<std::mutex> guard(stateLock_);
    state_ = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::Run(REFERENCE_TIME) {
    std::lock_guard<std::mutex> guard(stateLock_);
    state_ = State_Running;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    std::lock_guard<std::mutex> guard(stateLock_);
    *state = state_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::SetSyncSource(IReferenceClock* clock) {
    std::lock_guard<std::mutex> guard(stateLock_);
    if (clock) clock->AddRef();
    if (clock_) clock_->Release();
    clock_ = clock;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    std::lock_guard<std::mutex> guard(stateLock_);
    *clock = clock_;
    if (clock_) clock_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::EnumPins(IEnumPins** pins) {
    if (!pins) return E_POINTER;
    *pins = new EmptyPinEnum();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::FindPin(LPCWSTR, IPin** pin) {
    if (!pin) return E_POINTER;
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    std::lock_guard<std::mutex> guard(stateLock_);
    static_assert(sizeof info->achName == sizeof graphName_, "filter name sizes differ");
    std::memcpy(info->achName, graphName_, sizeof graphName_);
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    std::lock_guard<std::mutex> guard(stateLock_);
    graph_ = graph;
    graphName_[0] = L'\0';
    for (size_t i = 0; name && name[i] && i + 1 < MAX_FILTER_NAME; ++i) {
        graphName_[i] = name[i];
        graphName_[i + 1] = L'\0';
    }
    device_.joined(graphName_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::QueryVendorInfo(LPWSTR* vendorInfo) {
    if (vendorInfo) *vendorInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::InitNew() { return S_OK; }

HRESULT STDMETHODCALLTYPE CaptureFilter::Load(IPropertyBag* bag, IErrorLog*) {
    if (!bag) return E_POINTER;
    DeviceSettings settings;
    settings.friendlyName = readText(bag, L"FriendlyName");
    settings.feedPath = readText(bag, L"Feed");
    settings.logPath = readText(bag, L"Log");
    settings.refuseBind = readFlag(bag, L"RefuseBind");
    settings.noKsControl = readFlag(bag, L"NoKsControl");
    noKsControl_ = settings.noKsControl;
    device_.configure(settings);
    return settings.refuseBind ? kRefuseBindResult : S_OK;
}

HRESULT STDMETHODCALLTYPE CaptureFilter::Save(IPropertyBag*, BOOL, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CaptureFilter::KsProperty(void* property, ULONG propertyLength,
                                                    void* data, ULONG dataLength,
                                                    ULONG* bytesReturned) {
    return device_.property(property, propertyLength, data, dataLength, bytesReturned);
}

HRESULT STDMETHODCALLTYPE CaptureFilter::KsMethod(void*, ULONG, void*, ULONG, ULONG*) {
    return device_.unsupported("KsMethod");
}

HRESULT STDMETHODCALLTYPE CaptureFilter::KsEvent(void*, ULONG, void*, ULONG, ULONG*) {
    return device_.unsupported("KsEvent");
}

}  // namespace cardemu
