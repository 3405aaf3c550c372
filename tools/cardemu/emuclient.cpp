// Console client that drives an emulated capture device the way the product
// does: enumerate the capture category, bind by friendly name, join a filter
// graph, take IKsControl and send receiver requests.
//
//   emuclient list                         friendly names in enumeration order
//   emuclient bind NAME                    bind, add to a graph, query IKsControl
//   emuclient poll NAME COUNT MS [always]  COUNT status reads MS apart, each
//                                          followed by a transfer when a code
//                                          waits (or always)
//   emuclient bad NAME                     malformed requests, then good ones
//   emuclient bench NAME COUNT             time COUNT back-to-back status reads
//
// Output is one "key=value ..." record per line. Exit code 0 when every step
// the command needed worked, 1 on usage errors, 2 when the name is not found,
// 3 when a step failed.
#include "emulator_ids.h"

#include <dshow.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using namespace cardemu;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNotFound = 2;
constexpr int kExitFailed = 3;
constexpr wchar_t kGraphFilterName[] = L"Philips Silicon (7171-35) WDM Video Capture";

unsigned long hex(HRESULT hr) { return static_cast<unsigned long>(hr); }

template <typename T>
void writeAt(BYTE* base, ULONG offset, T value) {
    std::memcpy(base + offset, &value, sizeof value);
}

std::wstring widen(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], size);
    return out;
}

void printUtf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    std::printf("%s\n", out.c_str());
}

// Releases a COM pointer when it goes out of scope.
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** out() { return &p_; }
    void** outVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// Calls `visit(moniker, friendlyName)` for each device until it returns true.
template <typename Visit>
HRESULT forEachDevice(Visit visit) {
    Ref<ICreateDevEnum> devEnum;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICreateDevEnum, devEnum.outVoid());
    if (FAILED(hr)) return hr;
    Ref<IEnumMoniker> monikers;
    hr = devEnum->CreateClassEnumerator(kKsCategoryCapture, monikers.out(), 0);
    if (hr != S_OK) return hr;  // S_FALSE: the category is empty
    for (;;) {
        Ref<IMoniker> moniker;
        if (monikers->Next(1, moniker.out(), nullptr) != S_OK) break;
        Ref<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.outVoid())))
            continue;
        VARIANT name;
        VariantInit(&name);
        const bool named = SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) &&
                           V_VT(&name) == VT_BSTR;
        const bool stop = named && visit(moniker.get(), V_BSTR(&name));
        VariantClear(&name);
        if (stop) break;
    }
    return S_OK;
}

int listDevices() {
    const HRESULT hr = forEachDevice([](IMoniker*, const wchar_t* name) {
        printUtf8(name);
        return false;
    });
    return SUCCEEDED(hr) ? kExitOk : kExitFailed;
}

// A device bound and set up the way the product does it.
struct Session {
    Ref<IBaseFilter> filter;
    Ref<IGraphBuilder> graph;
    Ref<KsControl> control;
};

int openDevice(const char* wantedUtf8, Session& session) {
    const std::wstring wanted = widen(wantedUtf8);
    Ref<IMoniker> found;
    forEachDevice([&](IMoniker* moniker, const wchar_t* name) {
        if (wanted != name) return false;
        moniker->AddRef();
        *found.out() = moniker;
        return true;
    });
    if (!found.get()) {
        std::printf("step=find result=not-found\n");
        return kExitNotFound;
    }
    HRESULT hr = found->BindToObject(nullptr, nullptr, IID_IBaseFilter, session.filter.outVoid());
    std::printf("step=bind hr=0x%08lx\n", hex(hr));
    if (FAILED(hr)) return kExitFailed;
    hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                          session.graph.outVoid());
    if (SUCCEEDED(hr)) hr = session.graph->AddFilter(session.filter.get(), kGraphFilterName);
    std::printf("step=addfilter hr=0x%08lx\n", hex(hr));
    if (FAILED(hr)) return kExitFailed;
    FILTER_INFO info = {};
    hr = session.filter->QueryFilterInfo(&info);
    const bool named = SUCCEEDED(hr) && std::wcscmp(info.achName, kGraphFilterName) == 0;
    std::printf("step=filterinfo hr=0x%08lx name-ok=%d graph=%d\n", hex(hr), named,
                info.pGraph != nullptr);
    if (info.pGraph) info.pGraph->Release();
    hr = session.filter->QueryInterface(kIidKsControl, session.control.outVoid());
    std::printf("step=kscontrol hr=0x%08lx\n", hex(hr));
    return FAILED(hr) ? kExitFailed : kExitOk;
}

// Well-formed requests; tests of malformed ones start from these.
struct StatusRequest {
    BYTE property[layout::kStatusPropertyLength] = {};
    BYTE data[layout::kStatusDataLength] = {layout::kKeyStatusRegister};
    StatusRequest() {
        writeAt(property, layout::kSetOffset, kRegisterReadSet);
        writeAt(property, layout::kFlagsOffset, layout::kPropertyGet);
        property[layout::kSelectorOffset] = layout::kKeyStatusRegister;
    }
};

struct TransferRequest {
    BYTE property[layout::kTransferPropertyLength] = {};
    ULONG send = 0;
    BYTE receive[layout::kReceiveLength] = {};
    BYTE data[layout::kTransferDataLength] = {};
    TransferRequest() {
        writeAt(property, layout::kSetOffset, kTransferSet);
        writeAt(property, layout::kFlagsOffset, layout::kPropertyGet);
        property[layout::kSelectorOffset] = layout::kReceiverTarget;
        setSend(&send);
        setReceive(receive);
        writeAt(property, layout::kReceiveLengthOffset, layout::kReceiveLength);
    }
    TransferRequest(const TransferRequest&) = delete;
    TransferRequest& operator=(const TransferRequest&) = delete;
    void setSend(const void* p) {
        writeAt(property, layout::kSendBufferOffset, static_cast<layout::Address>(reinterpret_cast<ULONG_PTR>(p)));
    }
    void setReceive(void* p) {
        writeAt(property, layout::kReceiveBufferOffset, static_cast<layout::Address>(reinterpret_cast<ULONG_PTR>(p)));
    }
};

HRESULT sendStatus(KsControl* control, StatusRequest& r, ULONG* returned,
                   ULONG propertyLength = layout::kStatusPropertyLength,
                   ULONG dataLength = layout::kStatusDataLength) {
    return control->KsProperty(r.property, propertyLength, r.data, dataLength, returned);
}

HRESULT sendTransfer(KsControl* control, TransferRequest& r, ULONG* returned,
                     ULONG propertyLength = layout::kTransferPropertyLength,
                     ULONG dataLength = layout::kTransferDataLength) {
    return control->KsProperty(r.property, propertyLength, r.data, dataLength, returned);
}

void printTransfer(HRESULT hr, const TransferRequest& r, ULONG returned, double tMs) {
    std::printf("req=transfer t_ms=%.1f hr=0x%08lx code=0x%02x tail=%02x%02x%02x returned=%lu\n",
                tMs, hex(hr), r.receive[0], r.receive[1], r.receive[2], r.receive[3], returned);
}

int poll(KsControl* control, int count, DWORD intervalMs, bool alwaysTransfer) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const auto elapsedMs = [&] {
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    };
    for (int i = 0; i < count; ++i) {
        if (i > 0) Sleep(intervalMs);  // the polling period being emulated
        StatusRequest status;
        ULONG returned = 0;
        HRESULT hr = sendStatus(control, status, &returned);
        std::printf("req=status t_ms=%.1f hr=0x%08lx value=%u returned=%lu\n", elapsedMs(),
                    hex(hr), status.data[0], returned);
        if (!alwaysTransfer && (hr != S_OK || status.data[0] != layout::kStatusCodeWaiting))
            continue;
        TransferRequest transfer;
        returned = 0;
        hr = sendTransfer(control, transfer, &returned);
        printTransfer(hr, transfer, returned, elapsedMs());
    }
    std::fflush(stdout);
    return kExitOk;
}

// A page with the given protection, for requests pointing at memory the
// receiver must refuse to touch.
BYTE* protectedPage(DWORD protection) {
    auto* page = static_cast<BYTE*>(
        VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    if (page) VirtualProtect(page, 4096, protection, &old);
    return page;
}

int sendMalformed(KsControl* control) {
    BYTE* readOnly = protectedPage(PAGE_READONLY);
    BYTE* noAccess = protectedPage(PAGE_NOACCESS);
    int unexpected = 0;
    const auto report = [&](const char* name, HRESULT hr) {
        std::printf("case=%s hr=0x%08lx\n", name, hex(hr));
        if (hr != E_INVALIDARG) ++unexpected;
    };
    ULONG returned = 0;
    {
        StatusRequest r;
        report("status-length", sendStatus(control, r, &returned, 24));
    }
    {
        StatusRequest r;
        writeAt<ULONG>(r.property, layout::kIdOffset, 1);
        report("status-id", sendStatus(control, r, &returned));
    }
    {
        StatusRequest r;
        writeAt<ULONG>(r.property, layout::kFlagsOffset, 2);
        report("status-flags", sendStatus(control, r, &returned));
    }
    {
        StatusRequest r;
        r.property[layout::kSelectorOffset] = 7;
        report("status-register", sendStatus(control, r, &returned));
    }
    {
        StatusRequest r;
        r.data[0] = 7;
        report("status-data-register", sendStatus(control, r, &returned));
    }
    {
        StatusRequest r;
        report("status-data-length", sendStatus(control, r, &returned, layout::kStatusPropertyLength, 2));
    }
    {
        StatusRequest r;
        report("status-null-data", control->KsProperty(r.property, layout::kStatusPropertyLength,
                                                       nullptr, 1, &returned));
    }
    {
        StatusRequest r;
        report("status-readonly-data", control->KsProperty(r.property, layout::kStatusPropertyLength,
                                                           readOnly, 1, &returned));
    }
    {
        TransferRequest r;
        report("transfer-length", sendTransfer(control, r, &returned, 44));
    }
    {
        TransferRequest r;
        r.property[layout::kSelectorOffset] = 0x61;
        report("transfer-target", sendTransfer(control, r, &returned));
    }
    {
        TransferRequest r;
        writeAt<ULONG>(r.property, layout::kSendCountOffset, 1);
        report("transfer-send-count", sendTransfer(control, r, &returned));
    }
    {
        TransferRequest r;
        r.send = 5;
        report("transfer-send-value", sendTransfer(control, r, &returned));
    }
    {
        TransferRequest r;
        r.setSend(noAccess);
        report("transfer-send-unreadable", sendTransfer(control, r, &returned));
    }
    {
        TransferRequest r;
        writeAt<ULONG>(r.property, layout::kReceiveLengthOffset, 2);
        report("transfer-receive-length", sendTransfer(control, r, &returned));
    }
    {
        TransferRequest r;
        r.setReceive(readOnly);
        report("transfer-receive-readonly", sendTransfer(control, r, &returned));
    }
    {
        TransferRequest r;
        report("transfer-data-length", sendTransfer(control, r, &returned, layout::kTransferPropertyLength, 4));
    }
    {
        StatusRequest r;
        writeAt(r.property, layout::kSetOffset, kIidKsControl);
        report("unknown-set", sendStatus(control, r, &returned));
    }
    report("null-property", control->KsProperty(nullptr, layout::kStatusPropertyLength, nullptr, 0, &returned));
    {
        StatusRequest r;
        report("bytes-returned-readonly",
               sendStatus(control, r, reinterpret_cast<ULONG*>(readOnly)));
    }
    // The device keeps working after refusing all of that; BytesReturned may be NULL.
    StatusRequest status;
    HRESULT hr = sendStatus(control, status, nullptr);
    std::printf("req=status hr=0x%08lx value=%u\n", hex(hr), status.data[0]);
    if (hr != S_OK) ++unexpected;
    TransferRequest transfer;
    hr = sendTransfer(control, transfer, nullptr);
    printTransfer(hr, transfer, 0, 0.0);
    if (hr != S_OK) ++unexpected;
    return unexpected == 0 ? kExitOk : kExitFailed;
}

int bench(KsControl* control, int count) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        StatusRequest status;
        ULONG returned = 0;
        if (sendStatus(control, status, &returned) != S_OK) ++failures;
    }
    QueryPerformanceCounter(&end);
    const double us = static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                      static_cast<double>(frequency.QuadPart);
    std::printf("bench count=%d failures=%d us_per_status=%.2f\n", count, failures,
                count > 0 ? us / count : 0.0);
    return failures == 0 ? kExitOk : kExitFailed;
}

int usage() {
    std::fprintf(stderr,
                 "usage: emuclient list | bind NAME | poll NAME COUNT MS [always] | bad NAME |"
                 " bench NAME COUNT\n");
    return kExitUsage;
}

int run(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "list") return argc == 2 ? listDevices() : usage();
    const bool known = (argc == 3 && (command == "bind" || command == "bad")) ||
                       (argc == 4 && command == "bench") ||
                       ((argc == 5 || argc == 6) && command == "poll");
    if (!known) return usage();
    Session session;
    const int opened = openDevice(argv[2], session);
    std::fflush(stdout);
    if (opened != kExitOk || command == "bind") return opened;
    KsControl* control = session.control.get();
    if (command == "bad") return sendMalformed(control);
    if (command == "bench") return bench(control, std::atoi(argv[3]));
    const bool always = argc == 6 && std::strcmp(argv[5], "always") == 0;
    return poll(control, std::atoi(argv[3]), static_cast<DWORD>(std::atoi(argv[4])), always);
}

}  // namespace

int main(int argc, char** argv) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return kExitFailed;
    const int code = run(argc, argv);
    std::fflush(stdout);
    CoUninitialize();
    return code;
}
