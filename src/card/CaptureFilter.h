// Finds the card's capture filter among the kernel-streaming capture devices
// and keeps its control interface for the whole run.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <strmif.h>
// The SDK's kernel-streaming declarations: IKsControl, IID_IKsControl (in
// strmiids) and KSCATEGORY_CAPTURE (in ksguid).
#include <ks.h>
#include <ksproxy.h>

#include "win32/Scoped.h"

// The friendly names of the card's capture filter, in order of preference.
extern const char* const CaptureFilterNames[4];

// The card's remote receiver: the filter graph with the capture filter in it,
// and the filter's control interface, held for the whole run.
class RemoteReceiver {
public:
    RemoteReceiver() = default;
    // The filter stays in its graph until the process ends, as it always has:
    // released here, the graph would take it out again (a second
    // JoinFilterGraph, with no graph) on the way out.
    ~RemoteReceiver() {
        control_.Detach();
        filter_.Detach();
        graph_.Detach();
    }
    RemoteReceiver(const RemoteReceiver&) = delete;
    RemoteReceiver& operator=(const RemoteReceiver&) = delete;

    // True when the filter's control interface is held. COM must be
    // initialised on the thread. What was open before is let go first.
    bool Open();
    // Lets go of the control interface, the filter and the graph.
    void Close();
    // Null until opened.
    IKsControl* Control() const { return control_.Get(); }

private:
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IBaseFilter> filter_;
    ComPtr<IKsControl> control_;
};

// The filter of the last device in the category whose friendly name equals
// name exactly; null when none, or when that device cannot be bound.
IBaseFilter* FindCaptureFilter(const GUID& category, const char* name);

// The same search over one enumeration of devices.
IBaseFilter* FindNamedFilter(IEnumMoniker* monikers, const char* name);
