// The C++ run time's few calls that the program's containers and strings
// make, without the exception machinery: linked into the executable (and the
// unit tests' program that uses each of them), not into the unit tests, which
// keep the library's own. The program is built without exceptions, so where
// the library would throw, the process ends instead, as it would with the
// exception unhandled, after a line in the failure trace and without the C
// run time's abort box.
//
// What is replaced, and why: each of the library's pieces below throws, so
// linking one of them brings its exception support (the unwinder, type
// information and a demangler, about 70 KiB).
// - Every form of operator new and delete (plain, arrays, nothrow, sized,
//   aligned and their combinations): each is an object of its own in
//   libstdc++.a, so the program must define all of them, or the first use of
//   a missing one (an alignas(32) object, say) links the library's, and with
//   it std::bad_alloc.
// - The library's throw helpers (std::__throw_*): they are one object in
//   libstdc++.a, so the program defines every one of them; defining only some
//   would break the link ("multiple definition") at the first use of another
//   (std::stoi throws invalid_argument and out_of_range).
// - std::__glibcxx_assert_fail, which _GLIBCXX_ASSERTIONS calls.
#include <windows.h>

#include <malloc.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#include "win32/FailureTrace.h"

namespace {

// What abort() would have the process end with.
constexpr UINT AbortExitCode = 3;

[[noreturn]] void EndProcess(const char* what, DWORD code) {
    TraceFailure(what, code);
    TerminateProcess(GetCurrentProcess(), AbortExitCode);
    __builtin_unreachable();
}

[[noreturn]] void OutOfMemory(std::size_t size) {
    // "allocating <size> bytes", the size in decimal at any width of size_t.
    char what[48] = "allocating ";
    char digits[24];
    char* first = digits + sizeof digits;
    *--first = '\0';
    do *--first = static_cast<char>('0' + size % 10);
    while ((size /= 10) != 0);
    lstrcatA(lstrcatA(what, first), " bytes");
    EndProcess(what, ERROR_NOT_ENOUGH_MEMORY);
}

// The library's own error, with its message where it gives one.
[[noreturn]] void LibraryError(const char* message) {
    EndProcess(message != nullptr ? message : "the C++ library", ERROR_INTERNAL_ERROR);
}

std::size_t AtLeastOne(std::size_t size) { return size != 0 ? size : 1; }

void* Allocate(std::size_t size) { return std::malloc(AtLeastOne(size)); }

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    return _aligned_malloc(AtLeastOne(size), static_cast<std::size_t>(alignment));
}

void* AllocateOrEnd(std::size_t size) {
    if (void* memory = Allocate(size)) return memory;
    OutOfMemory(size);
}

void* AllocateAlignedOrEnd(std::size_t size, std::align_val_t alignment) {
    if (void* memory = AllocateAligned(size, alignment)) return memory;
    OutOfMemory(size);
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrEnd(size); }
void* operator new[](std::size_t size) { return AllocateOrEnd(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrEnd(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrEnd(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment);
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { _aligned_free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { _aligned_free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { _aligned_free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { _aligned_free(memory); }
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    _aligned_free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    _aligned_free(memory);
}

namespace std {
void __throw_bad_alloc() { EndProcess("allocating memory", ERROR_NOT_ENOUGH_MEMORY); }
void __throw_bad_array_new_length() { EndProcess("allocating an array", ERROR_NOT_ENOUGH_MEMORY); }
void __throw_bad_exception() { LibraryError(nullptr); }
void __throw_bad_cast() { LibraryError("a cast"); }
void __throw_bad_typeid() { LibraryError("typeid"); }
void __throw_logic_error(const char* message) { LibraryError(message); }
void __throw_domain_error(const char* message) { LibraryError(message); }
void __throw_invalid_argument(const char* message) { LibraryError(message); }
void __throw_length_error(const char* message) { LibraryError(message); }
void __throw_out_of_range(const char* message) { LibraryError(message); }
// The message is a printf format; its arguments are left out.
void __throw_out_of_range_fmt(const char* format, ...) { LibraryError(format); }
void __throw_runtime_error(const char* message) { LibraryError(message); }
void __throw_range_error(const char* message) { LibraryError(message); }
void __throw_overflow_error(const char* message) { LibraryError(message); }
void __throw_underflow_error(const char* message) { LibraryError(message); }
void __glibcxx_assert_fail(const char* file, int line, const char*, const char* condition) noexcept {
    char what[440];
    wsprintfA(what, "%.200s:%d: the assertion %.200s", file, line, condition);
    LibraryError(what);
}
}  // namespace std
