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

extern IGraphBuilder* ReceiverGraph;
extern IBaseFilter* ReceiverFilter;
extern IKsControl* ReceiverControl;

// The friendly names of the card's capture filter, in order of preference.
extern const char* const CaptureFilterNames[4];

// True when the filter's control interface is held.
bool OpenRemoteReceiver();

// The filter of the last device in the category whose friendly name equals
// name exactly; null when none, or when that device cannot be bound.
IBaseFilter* FindCaptureFilter(const GUID& category, const char* name);

// The same search over one enumeration of devices.
IBaseFilter* FindNamedFilter(IEnumMoniker* monikers, const char* name);
