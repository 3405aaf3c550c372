// In-process server entry points and the class factory.
#include "filter.h"

#include <new>

namespace cardemu {
namespace {

class FilterFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object; its references keep the server loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_serverLocks); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_serverLocks); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* filter = new (std::nothrow) CaptureFilter();
        if (!filter) return E_OUTOFMEMORY;
        const HRESULT hr = filter->QueryInterface(iid, out);
        filter->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ++g_serverLocks;
        else
            --g_serverLocks;
        return S_OK;
    }
};

FilterFactory g_factory;

}  // namespace
}  // namespace cardemu

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, cardemu::kClsidCardEmulator)) return CLASS_E_CLASSNOTAVAILABLE;
    return cardemu::g_factory.QueryInterface(iid, out);
}

// Lines held back for a batch go out before the module goes, at unload and
// at the end of the process.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // reserved is non-null when the process ends, null at FreeLibrary.
    if (reason == DLL_PROCESS_DETACH) cardemu::EventLog::flushAll(reserved != nullptr);
    return TRUE;
}

// A card's state outlives the objects bound to it, as the module must.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return cardemu::g_liveObjects == 0 && cardemu::g_serverLocks == 0 &&
                   !cardemu::Card::anyKnown()
               ? S_OK
               : S_FALSE;
}
