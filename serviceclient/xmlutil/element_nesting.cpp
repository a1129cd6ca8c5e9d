#include "xmlutil/element_nesting.h"

#include "qelcmn/exceptions.h"

namespace xmlutil {

void KnownElementNesting::Reset() {
    ids_.assign(1, kRoot);
}

void KnownElementNesting::Close(int id) {
    if (ids_.size() < 2 || ids_.back() != id) {
        throw invalid_response_format();
    }
    ids_.pop_back();
}

void KnownElementNesting::CheckEnded() const {
    if (ids_.size() != 1 || ids_.back() != kRoot) {
        throw invalid_response_format();
    }
}

} // namespace xmlutil
