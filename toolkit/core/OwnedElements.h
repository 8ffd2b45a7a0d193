// The elements a form makes for itself, owned in one list: kept in the
// order they were made and destroyed in reverse, so that the elements inside
// a container go before the container and the items of a menu before the
// menu. The form keeps plain pointers to them for access.
#pragma once

#include <memory>
#include <vector>

#include "toolkit/core/GUIElement.h"

namespace QVUtility {

class OwnedElements {
public:
    OwnedElements() = default;
    ~OwnedElements() { Clear(); }
    OwnedElements(const OwnedElements&) = delete;
    OwnedElements& operator=(const OwnedElements&) = delete;

    // Takes ownership of a newly made element; answers it.
    template <class T>
    T* Add(T* element) {
        elements_.emplace_back(element);
        return element;
    }
    // Destroys them all, the last made first.
    void Clear() {
        while (!elements_.empty()) elements_.pop_back();
    }

    auto begin() const { return elements_.begin(); }
    auto end() const { return elements_.end(); }

private:
    std::vector<std::unique_ptr<GUIElement>> elements_;
};

}  // namespace QVUtility
