#include "TestSupport.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <set>

void DeleteMachineKey(const char* path) { SHDeleteKeyA(HKEY_LOCAL_MACHINE, path); }

void WriteMachineValue(const char* path, const char* name, DWORD type, const void* data,
                       DWORD size) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteMachineDword(const char* path, const char* name, DWORD value) {
    WriteMachineValue(path, name, REG_DWORD, &value, sizeof value);
}

void WriteMachineString(const char* path, const char* name, const std::string& text) {
    WriteMachineValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ReadMachineValue(const char* path, const char* name, DWORD& type, std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data.assign(size, 0);
        result = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

void PumpUntilTimer(UINT ms) {
    const UINT_PTR timer = SetTimer(nullptr, 0, ms, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 &&
           !(message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == timer))
        DispatchMessageA(&message);
    KillTimer(nullptr, timer);
}

HWND CreateTopLevelWindow(const char* windowClass, const char* title, WNDPROC proc,
                          DWORD style) {
    static std::set<std::string> registered;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (registered.insert(windowClass).second) {
        WNDCLASSA description = {};
        description.lpfnWndProc = proc;
        description.hInstance = instance;
        description.lpszClassName = windowClass;
        RegisterClassA(&description);
    }
    return CreateWindowExA(0, windowClass, title, style, 600, 400, 120, 90, nullptr, nullptr,
                           instance, nullptr);
}

TestWindow::TestWindow(const char* windowClass, const char* title)
    : window(CreateTopLevelWindow(windowClass, title, DefWindowProcA, WS_OVERLAPPED)) {}

TestWindow::~TestWindow() { DestroyWindow(window); }

TempFolder::TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH] = {};
    GetTempFileNameA(base, "mrc", 0, name);  // made as a file: the name is free
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    path_.reset(new std::string(name));
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');  // never more units than bytes
    const int size = static_cast<int>(utf8.size());
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], size)));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string utf8(3 * wide.size(), '\0');  // never more than three bytes a unit
    utf8.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

void TempFolder::Remove::operator()(std::string* path) const {
    std::string from = *path;
    from.push_back('\0');  // the list ends with two NULs
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
    delete path;
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

namespace {

DebugOutput* CurrentOutput = nullptr;

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the length and the text.
LONG CALLBACK SeeDebugOutput(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2 ||
        CurrentOutput == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::string line(text);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    CurrentOutput->lines.push_back(line);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutput::DebugOutput() : handler_(AddVectoredExceptionHandler(1, SeeDebugOutput)) {
    CurrentOutput = this;
}

std::vector<std::string> DebugOutput::With(std::initializer_list<const char*> parts) const {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        bool all = true;
        for (const char* part : parts) all = all && line.find(part) != std::string::npos;
        if (all) found.push_back(line);
    }
    return found;
}

std::vector<std::string> Boxes;
int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
    Boxes.push_back(std::string(caption) + ": " + text);
    return IDOK;
}
