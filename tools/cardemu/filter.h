// The COM face of an emulated device: a source-less capture filter that the
// device enumerator binds, with IPersistPropertyBag for its settings and
// IKsControl for the receiver.
#pragma once

#include "device.h"
#include "emulator_ids.h"

#include <dshow.h>
#include <ocidl.h>

#include <atomic>

namespace cardemu {

// Live COM objects and server locks, for DllCanUnloadNow.
extern std::atomic<long> g_liveObjects;
extern std::atomic<long> g_serverLocks;

// Returned by IPersistPropertyBag::Load for a device set to refuse binding;
// the device moniker passes it on from BindToObject.
constexpr HRESULT kRefuseBindResult = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);

class CaptureFilter final : public IBaseFilter, public IPersistPropertyBag, public KsControl {
public:
    CaptureFilter();
    CaptureFilter(const CaptureFilter&) = delete;
    CaptureFilter& operator=(const CaptureFilter&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;

    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* vendorInfo) override;

    // IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* errorLog) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IKsControl
    HRESULT STDMETHODCALLTYPE KsProperty(void* property, ULONG propertyLength, void* data,
                                         ULONG dataLength, ULONG* bytesReturned) override;
    HRESULT STDMETHODCALLTYPE KsMethod(void* method, ULONG methodLength, void* data,
                                       ULONG dataLength, ULONG* bytesReturned) override;
    HRESULT STDMETHODCALLTYPE KsEvent(void* event, ULONG eventLength, void* data,
                                      ULONG dataLength, ULONG* bytesReturned) override;

private:
    ~CaptureFilter();

    std::atomic<ULONG> refs_{1};
    std::mutex stateLock_;  // guards the DirectShow state below
    FILTER_STATE state_ = State_Stopped;
    IReferenceClock* clock_ = nullptr;  // held reference
    IFilterGraph* graph_ = nullptr;     // not held, as the graph owns the filter
    WCHAR graphName_[MAX_FILTER_NAME] = {};
    std::atomic<bool> noKsControl_{false};
    Device device_;
};

}  // namespace cardemu
