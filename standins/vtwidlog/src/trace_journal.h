// The trace records that the stand-in trace library keeps for tests.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "win/unique_any.h"

namespace vtwidlogsim {

struct TraceRecord {
    int level = 0;
    std::string source;
    int line = 0;
    std::string format;
    std::string text;
};

class TraceJournal {
public:
    explicit TraceJournal(std::size_t capacity) : capacity_(capacity) {}

    void Add(TraceRecord record);
    std::size_t Count() const;
    std::optional<TraceRecord> At(std::size_t index) const;
    void Clear();

    // The library's journal. Made while the library loads and locked by a critical section:
    // a function's own static or a std::mutex would leave the threads library's state for the
    // calling thread (a thread handle and an event) that no unload gives back.
    static TraceJournal& Process();

private:
    mutable qelwin::critical_section lock_;
    std::deque<TraceRecord> records_;
    std::size_t capacity_;
};

// Copies text into a caller's buffer of size bytes (cut, always terminated when size > 0) and
// returns the whole text's length, or -1 for a negative size or a null buffer with size > 0.
int CopyOut(const std::string& text, char* buffer, int size) noexcept;

} // namespace vtwidlogsim
