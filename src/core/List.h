// Lists of any length in the program's tables: the items they point to are
// constant, and outlive the list.
#pragma once
#include <cstddef>

namespace core {

template <typename T>
struct List {
    const T* items;
    size_t count;

    const T* begin() const { return items; }
    const T* end() const { return items + count; }
};

template <typename T, size_t N>
constexpr List<T> ListOf(const T (&items)[N]) {
    return {items, N};
}

}  // namespace core
