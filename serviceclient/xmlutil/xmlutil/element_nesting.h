// The nesting rule that the reply pickers share: the elements a picker knows must close in the
// order they opened, and a reply must not end while one of them is open.
#pragma once

#include <vector>

namespace xmlutil {

class KnownElementNesting {
public:
    // Stands for the document itself; never closed.
    static constexpr int kRoot = 0;

    KnownElementNesting() { Reset(); }

    // Only the root is open.
    void Reset();
    void Open(int id) { ids_.push_back(id); }
    // Throws invalid_response_format unless the element is the innermost one open.
    void Close(int id);
    // Throws invalid_response_format unless only the root is open. A reader may end a cut-off
    // reply without an error, so this is what catches it.
    void CheckEnded() const;
    // The id of the innermost open element (the root when none is open).
    int Innermost() const { return ids_.empty() ? kRoot : ids_.back(); }

private:
    std::vector<int> ids_;
};

} // namespace xmlutil
