// Containers whose memory comes from GlobalAlloc and goes back through GlobalFree, for the XML
// template library, which must not take its working memory from the C++ heap.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace vtqeldevc {

template <typename T> struct GlobalAllocator {
    using value_type = T;

    GlobalAllocator() noexcept = default;
    template <typename U> GlobalAllocator(const GlobalAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        const std::size_t bytes = count * sizeof(T);
        void* memory = ::GlobalAlloc(GPTR, bytes);
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        // Cleared once more: the memory may hold text of an earlier document.
        std::memset(memory, 0, bytes);
        return static_cast<T*>(memory);
    }

    void deallocate(T* memory, std::size_t) noexcept { ::GlobalFree(memory); }

    template <typename U> bool operator==(const GlobalAllocator<U>&) const noexcept { return true; }
};

using GString = std::basic_string<char, std::char_traits<char>, GlobalAllocator<char>>;

template <typename T> using GVector = std::vector<T, GlobalAllocator<T>>;

} // namespace vtqeldevc
