// Built as the program is built (no exceptions, the program's own run time),
// this uses every form of operator new and delete and the library calls that
// throw where exceptions are on. Started by lean_runtime_test with one of:
//   uses      each use once; exits 0, or with the line of the first wrong result
//   exhaust   an allocation that cannot be made
//   nothrow   the same without throwing: a null pointer, then exits 0
//   length    a string longer than a string can be
//   number    std::stoi of a text that is not a number
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

struct alignas(32) Wide {
    char bytes[32];
};

bool AlignedTo32(const void* memory) { return reinterpret_cast<std::uintptr_t>(memory) % 32 == 0; }

// Pointers pass through here so that the compiler cannot leave an allocation out.
void* volatile sink;
template <typename T>
T* Kept(T* memory) {
    sink = memory;
    return memory;
}

#define CHECK(condition) \
    if (!(condition)) return __LINE__

int Uses() {
    delete Kept(new int(1));                          // new, sized delete
    delete[] Kept(new int[3]);                        // arrays
    CHECK(Kept(new (std::nothrow) char('x')) != nullptr);
    delete static_cast<char*>(sink);
    delete[] Kept(new (std::nothrow) char[8]);
    Wide* wide = Kept(new Wide);                      // aligned
    CHECK(AlignedTo32(wide));
    delete wide;                                      // aligned, sized
    Wide* wides = Kept(new Wide[5]);                  // aligned arrays
    CHECK(AlignedTo32(wides));
    delete[] wides;
    Wide* maybe = Kept(new (std::nothrow) Wide);      // aligned, nothrow
    CHECK(maybe != nullptr && AlignedTo32(maybe));
    operator delete(maybe, std::align_val_t{alignof(Wide)}, std::nothrow);
    Wide* maybeMany = Kept(new (std::nothrow) Wide[2]);
    CHECK(maybeMany != nullptr && AlignedTo32(maybeMany));
    operator delete[](maybeMany, std::align_val_t{alignof(Wide)}, std::nothrow);
    operator delete(Kept(operator new(4)), std::nothrow);
    operator delete[](Kept(operator new[](4)), std::nothrow);
    operator delete[](Kept(operator new[](8)), std::size_t{8});
    operator delete[](Kept(operator new[](64, std::align_val_t{64})), std::size_t{64},
                      std::align_val_t{64});
    std::vector<Wide> vector(3);
    CHECK(AlignedTo32(vector.data()));
    std::string text(100, 'a');
    text += std::to_string(7);
    CHECK(text.size() == 101 && text.back() == '7');
    CHECK(std::stoi("-42") == -42 && std::stoul("ff", nullptr, 16) == 255);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    // Larger than any allocation can be, and not known to the compiler.
    const std::size_t tooMuch = static_cast<std::size_t>(-1) / 2 + std::strlen(argv[0]) % 2;
    if (mode == "uses") return Uses();
    if (mode == "exhaust") Kept(new char[tooMuch]);
    if (mode == "nothrow") return Kept(new (std::nothrow) char[tooMuch]) == nullptr ? 0 : 1;
    if (mode == "length") std::string().reserve(tooMuch);
    if (mode == "number") return std::stoi("twelve");
    return 100;
}
