#include "trace_journal.h"

#include "vtwidlog/vtwidlogsim_control.h"

#include <algorithm>
#include <cstring>

namespace vtwidlogsim {

void TraceJournal::Add(TraceRecord record) {
    const qelwin::critical_section_guard hold(lock_.get());
    if (capacity_ == 0) {
        return;
    }
    while (records_.size() >= capacity_) {
        records_.pop_front();
    }
    records_.push_back(std::move(record));
}

std::size_t TraceJournal::Count() const {
    const qelwin::critical_section_guard hold(lock_.get());
    return records_.size();
}

std::optional<TraceRecord> TraceJournal::At(std::size_t index) const {
    const qelwin::critical_section_guard hold(lock_.get());
    if (index >= records_.size()) {
        return std::nullopt;
    }
    return records_[index];
}

void TraceJournal::Clear() {
    const qelwin::critical_section_guard hold(lock_.get());
    records_.clear();
}

namespace {

TraceJournal g_journal(VTWIDLOGSIM_MAX_RECORDS);

} // namespace

TraceJournal& TraceJournal::Process() {
    return g_journal;
}

int CopyOut(const std::string& text, char* buffer, int size) noexcept {
    if (size < 0 || (buffer == nullptr && size > 0)) {
        return -1;
    }
    if (size > 0) {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF));
}

} // namespace vtwidlogsim
