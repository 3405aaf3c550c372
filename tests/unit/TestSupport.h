// Helpers shared by the unit tests: registry keys in the test prefix and real
// top-level windows of a chosen class and title.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Deletes an HKEY_LOCAL_MACHINE key with its subkeys (no error when absent).
void DeleteMachineKey(const char* path);

// Writes a value of any type and any bytes under HKEY_LOCAL_MACHINE,
// creating the key.
void WriteMachineValue(const char* path, const char* name, DWORD type, const void* data,
                       DWORD size);
void WriteMachineDword(const char* path, const char* name, DWORD value);
void WriteMachineString(const char* path, const char* name, const std::string& text);

// The value's type and bytes; false when it is absent.
bool ReadMachineValue(const char* path, const char* name, DWORD& type, std::vector<BYTE>& data);

// A top-level window of the given class (registered once, with proc) and title.
HWND CreateTopLevelWindow(const char* windowClass, const char* title, WNDPROC proc, DWORD style);

// A hidden top-level window of the given class and title, destroyed with the object.
class TestWindow {
public:
    TestWindow(const char* windowClass, const char* title);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND handle() const { return window; }

private:
    HWND window;
};
