// Places bytes right before an inaccessible page, so that reading one byte past them faults.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string_view>

class GuardedBuffer {
public:
    explicit GuardedBuffer(std::size_t capacity) {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        page_ = info.dwPageSize;
        data_pages_ = (capacity + page_ - 1) / page_ + 1;
        base_ = static_cast<char*>(::VirtualAlloc(nullptr, (data_pages_ + 1) * page_,
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (base_ == nullptr) {
            throw std::runtime_error("VirtualAlloc failed");
        }
        DWORD old = 0;
        ::VirtualProtect(base_ + data_pages_ * page_, page_, PAGE_NOACCESS, &old);
    }
    ~GuardedBuffer() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    // Copies bytes so that their last byte is the last readable one.
    std::span<const char> Place(std::string_view bytes) {
        char* end = base_ + data_pages_ * page_;
        if (bytes.size() > data_pages_ * page_) {
            throw std::length_error("too long for the guarded buffer");
        }
        char* start = end - bytes.size();
        std::copy(bytes.begin(), bytes.end(), start);
        return {start, bytes.size()};
    }

private:
    std::size_t page_ = 0;
    std::size_t data_pages_ = 0;
    char* base_ = nullptr;
};
