#include "ui/dialog_stack.h"

#include <algorithm>

namespace qelui {

std::vector<DialogController*>& DialogStack::Instance() {
    static std::vector<DialogController*> stack = [] {
        std::vector<DialogController*> fresh;
        fresh.reserve(4);
        fresh.push_back(nullptr);
        return fresh;
    }();
    return stack;
}

DialogController* DialogStack::Top() noexcept {
    // The stack always holds its bottom entry once made; making it may not throw here.
    try {
        return Instance().back();
    } catch (...) {
        return nullptr;
    }
}

DialogStack::Entry::Entry(DialogController* controller) : controller_(controller) {
    Instance().push_back(controller);
}

DialogStack::Entry::~Entry() {
    auto& stack = Instance();
    // Entries end in reverse order of their making; remove our own entry, never the bottom.
    const auto found = std::find(stack.rbegin(), stack.rend() - 1, controller_);
    if (found != stack.rend() - 1) {
        stack.erase(std::next(found).base());
    }
}

} // namespace qelui
