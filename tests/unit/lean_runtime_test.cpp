// The program's own run time (shell/LeanRuntime.cpp), in lean_runtime_use.exe,
// a program built and linked as the program is: every form of operator new
// and delete and the library calls that would throw link without the
// library's exception support and work; where the library would throw, the
// process ends with a line in the failure trace and no box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "win32/Scoped.h"

namespace {

std::string BesideThisProgram(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

const std::string UseProgram = BesideThisProgram("lean_runtime_use.exe");

struct UseRun {
    DWORD exitCode = STILL_ACTIVE;
    std::vector<std::string> trace;  // its OutputDebugStringA lines
};

std::string DebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    std::string text(info.nDebugStringLength, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read);
    text.resize(read);
    return text.substr(0, text.find('\0'));
}

// Runs the use program in a mode as its debugger, which is told each line
// of its debug output, to its end.
UseRun RunUse(const char* mode) {
    std::string commandLine = "\"" + UseProgram + "\" " + mode;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    UseRun run;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, nullptr, &startup, &started)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
        return run;
    }
    ScopedHandle process(started.hProcess), thread(started.hThread);
    DEBUG_EVENT event{};
    constexpr DWORD GiveUpMs = 60000;  // against a hang only
    while (WaitForDebugEvent(&event, GiveUpMs)) {
        DWORD continueStatus = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT: CloseHandle(event.u.CreateProcessInfo.hFile); break;
            case LOAD_DLL_DEBUG_EVENT: CloseHandle(event.u.LoadDll.hFile); break;
            case OUTPUT_DEBUG_STRING_EVENT:
                run.trace.push_back(DebugString(started.hProcess, event.u.DebugString));
                break;
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    continueStatus = DBG_EXCEPTION_NOT_HANDLED;
                break;
            case EXIT_PROCESS_DEBUG_EVENT: run.exitCode = event.u.ExitProcess.dwExitCode; break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return run;
    }
    ADD_FAILURE() << commandLine << " did not end";
    TerminateProcess(started.hProcess, 1);
    return run;
}

// A box would keep the process from ending: as abort() does it, exit code 3.
constexpr DWORD EndedExitCode = 3;

TEST(LeanRuntime, EveryFormOfNewAndDeleteAndTheLibrarysCallsWork) {
    const UseRun run = RunUse("uses");
    EXPECT_EQ(run.exitCode, 0u) << "0, or the line of lean_runtime_use.cpp whose check failed";
    EXPECT_EQ(run.trace, std::vector<std::string>{});
    const UseRun nothrow = RunUse("nothrow");
    EXPECT_EQ(nothrow.exitCode, 0u) << "a nothrow allocation that cannot be made gives null";
    EXPECT_EQ(nothrow.trace, std::vector<std::string>{});
}

TEST(LeanRuntime, WhereTheLibraryWouldThrowTheProcessEndsWithAFailureLine) {
    const struct {
        const char* mode;
        const char* line;  // the start of its failure trace line
        const char* code;
    } cases[] = {
        {"exhaust", "Marlow Remote Control: allocating ", "failed (0x00000008)\n"},
        {"length", "Marlow Remote Control: basic_string", "failed (0x0000054F)\n"},
        {"number", "Marlow Remote Control: stoi failed", "failed (0x0000054F)\n"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.mode);
        const UseRun run = RunUse(each.mode);
        EXPECT_EQ(run.exitCode, EndedExitCode);
        ASSERT_EQ(run.trace.size(), 1u);
        EXPECT_EQ(run.trace[0].rfind(each.line, 0), 0u) << run.trace[0];
        const std::string code = each.code;
        EXPECT_EQ(run.trace[0].substr(run.trace[0].size() - code.size()), code) << run.trace[0];
    }
}

// The library's exception support names its classes by their type
// information, which any thrown standard exception brings along.
TEST(LeanRuntime, TheExceptionSupportStaysOut) {
    const std::string bytes = ReadWholeFile(UseProgram);
    ASSERT_GT(bytes.size(), 0u);
    for (const char* name : {"St9exception", "St9bad_alloc", "__gxx_personality"})
        EXPECT_EQ(bytes.find(name), std::string::npos) << name;
}

}  // namespace
