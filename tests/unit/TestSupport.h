// Helpers shared by the unit tests: registry keys in the test prefix, real
// top-level windows of a chosen class and title, a folder of the test's own,
// and the failure trace's lines.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "win32/Scoped.h"

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

// Dispatches messages until the condition holds or the time is up; true
// when it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Dispatches messages until a timer of the test's own, set now, comes due.
// The timers of one thread come due in the order of their times, however slow
// the machine: what a timer of the code under test set before for as long or
// less has been done by then, and one set for longer has not.
void PumpUntilTimer(UINT ms);

// A stand-in for MessageBoxA that answers IDOK and keeps "caption: text" in
// Boxes, which each test clears.
extern std::vector<std::string> Boxes;
int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

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

// A new empty folder under the temporary folder, deleted with all it holds
// when the object goes.
class TempFolder {
public:
    TempFolder();
    const std::string& path() const { return *path_; }

private:
    struct Remove {
        void operator()(std::string* path) const;
    };
    std::unique_ptr<std::string, Remove> path_;
};

// UTF-8 and UTF-16 texts, converted by the test itself.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// A file's bytes, and the bytes written to a file (created or replaced); the
// path in UTF-8.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// The lines written with OutputDebugStringA (the failure trace among them)
// while the object lives, seen by a vectored exception handler.
inline void RemoveHandler(void* handler) { RemoveVectoredExceptionHandler(handler); }
class DebugOutput {
public:
    DebugOutput();
    std::vector<std::string> lines;
    // The lines that hold every one of the parts.
    std::vector<std::string> With(std::initializer_list<const char*> parts) const;

private:
    ScopedValue<void*, RemoveHandler> handler_;  // the last object made gets the lines
};
