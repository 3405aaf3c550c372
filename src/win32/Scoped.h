// Owners of what Windows hands out (a window timer, COM on the thread, a COM
// interface pointer, a registry key, a kernel handle), each given back when
// its owner goes out of scope, on every way out of a function.
#pragma once
#include <windows.h>
#include <objbase.h>

// A window timer with a timer procedure, killed when stopped and when its
// owner goes out of scope.
class WindowTimer {
public:
    explicit WindowTimer(UINT id) : id_(id) {}
    ~WindowTimer() { Stop(); }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    // Idempotent: a running timer keeps its setting.
    void Start(HWND owner, UINT intervalMs, TIMERPROC procedure) {
        if (running_) return;
        owner_ = owner;
        SetTimer(owner, id_, intervalMs, procedure);
        running_ = true;
    }
    void Stop() {
        if (!running_) return;
        KillTimer(owner_, id_);
        running_ = false;
    }

private:
    UINT id_;
    HWND owner_ = nullptr;
    bool running_ = false;
};

// COM initialised on this thread for the owner's lifetime, or to the end of
// the process once kept.
class ScopedComInit {
public:
    ScopedComInit() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ScopedComInit() {
        if (initialized_) CoUninitialize();
    }
    void KeepToProcessEnd() { initialized_ = false; }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    bool initialized_;
};

// A COM interface pointer that holds one reference.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference that the caller owns.
    explicit ComPtr(Interface* owned) : pointer_(owned) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = other.Detach();
        }
        return *this;
    }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // The address for an out-parameter; what was held is released first.
    Interface** Put() {
        Reset();
        return &pointer_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // Hands the reference over to the caller.
    Interface* Detach() {
        Interface* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }
    void Reset() {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};

template <typename Handle>
bool HoldsNonNull(Handle value) {
    return value != Handle{};
}

// An owner of one handle-like value, closed with Close while Holds says it
// holds one; empty, it holds the type's null value.
template <typename Handle, auto Close, auto Holds = HoldsNonNull<Handle>>
class ScopedValue {
public:
    ScopedValue() = default;
    explicit ScopedValue(Handle value) : value_(value) {}
    ~ScopedValue() { Reset(); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

    Handle Get() const { return value_; }
    explicit operator bool() const { return Holds(value_); }
    // The address for an out-parameter; what was held is closed first.
    Handle* Put() {
        Reset();
        return &value_;
    }
    void Reset() {
        if (Holds(value_)) Close(value_);
        value_ = Handle{};
    }

private:
    Handle value_ = Handle{};
};

inline void CloseRegistryKey(HKEY key) { RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
// Kernel calls answer "no handle" with null (OpenProcessToken, CreateEvent)
// or with INVALID_HANDLE_VALUE (CreateFile, CreateToolhelp32Snapshot).
inline bool HoldsKernelHandle(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

using ScopedRegKey = ScopedValue<HKEY, CloseRegistryKey>;
using ScopedHandle = ScopedValue<HANDLE, CloseKernelHandle, HoldsKernelHandle>;
