// The SDK's kernel-streaming declarations: IKsControl, IID_IKsControl (in
// strmiids), KSCATEGORY_CAPTURE (in ksguid) and the property request header.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <ks.h>
#include <ksproxy.h>
