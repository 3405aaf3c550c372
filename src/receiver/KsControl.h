// The kernel-streaming control interface of the capture filter.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <ks.h>
#include <ksproxy.h>

// {28F54685-06FD-11D2-B27A-00A0C9223196}
constexpr IID KsControlIid = {0x28F54685, 0x06FD, 0x11D2,
                              {0xB2, 0x7A, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
