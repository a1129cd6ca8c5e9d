// Base of the application's objects that factories hand out as owning raw pointers.
#pragma once

#include <memory>

namespace qelcmn::destructible {

class IDestructible {
public:
    // Runs the deleting destructor of the most derived object.
    virtual void Destroy() { delete this; }

protected:
    virtual ~IDestructible() = default;
};

// Releases a factory-made object; a null pointer is simply ignored, so callers never call
// through it.
inline void Destroy(IDestructible* object) noexcept {
    if (object != nullptr) {
        object->Destroy();
    }
}

struct Destroyer {
    void operator()(IDestructible* object) const noexcept { Destroy(object); }
};

// Owner of a factory-made object.
template <typename T>
using unique_destructible = std::unique_ptr<T, Destroyer>;

} // namespace qelcmn::destructible
