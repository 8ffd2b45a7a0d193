#include "toolkit/core/Registry.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolkit/core/GUIElement.h"
#include "toolkit/core/Menu.h"

namespace QVUtility {

std::list<GUIElement*> elementRegistry;
int controlCounter = 0;

int NextControlId() {
    ++controlCounter;
    if (controlCounter >= ReservedCommandFirst && controlCounter <= ReservedCommandLast)
        controlCounter = ReservedCommandLast + 1;
    return controlCounter;
}
HWND mainWindow = nullptr;
GUIElement* activeForm = nullptr;
GUIElement* activePanel = nullptr;
GUIElement* wheelTarget = nullptr;
bool mouseTracking = false;

namespace {

using Place = std::list<GUIElement*>::iterator;

// What the registry knows of one registered element: its places in the
// list (an element may be registered more than once), each with its rank in
// construction order, and the keys it is indexed under.
struct Registration {
    std::vector<std::pair<Place, std::uint64_t>> places;  // in list order
    HWND indexedWindow = nullptr;
    int indexedId = 0;
    bool hasIndexedId = false;
    std::uint64_t Rank() const { return places.front().second; }
};

std::uint64_t nextRank = 0;
std::unordered_map<const GUIElement*, Registration> registrations;
// The first element, in list order, known to hold each window handle and
// control identifier. An entry is checked against the element's field
// before it is trusted: a field set without telling the registry is found
// by walking the list.
std::unordered_map<HWND, GUIElement*> byWindow;
std::unordered_map<int, GUIElement*> byControlId;

// Elements whose CreateWindowExW is running, innermost last (a form's
// WM_CREATE may create panels, whose creation nests inside the form's).
std::vector<GUIElement*> creationStack;

Registration* RegistrationOf(const GUIElement* element) {
    auto found = registrations.find(element);
    return found == registrations.end() ? nullptr : &found->second;
}

template <typename Key>
void Forget(std::unordered_map<Key, GUIElement*>& index, Key key, const GUIElement* element) {
    auto found = index.find(key);
    if (found != index.end() && found->second == element) index.erase(found);
}

// Indexes `element` under `key`, unless an element earlier in the list is
// already rightly indexed there.
template <typename Key, typename Holds>
void Index(std::unordered_map<Key, GUIElement*>& index, Key key, GUIElement* element, Registration& registration,
           Holds holds) {
    GUIElement*& slot = index[key];
    if (slot != nullptr && slot != element) {
        const Registration* other = RegistrationOf(slot);
        if (other != nullptr && holds(slot) && other->Rank() < registration.Rank()) return;
    }
    slot = element;
}

void IndexWindowOf(GUIElement* element, Registration& registration) {
    if (registration.indexedWindow != element->window) {
        if (registration.indexedWindow != nullptr) Forget(byWindow, registration.indexedWindow, element);
        registration.indexedWindow = element->window;
    }
    if (element->window == nullptr) return;
    const HWND handle = element->window;
    Index(byWindow, handle, element, registration, [handle](GUIElement* e) { return e->window == handle; });
}

void IndexControlIdOf(GUIElement* element, Registration& registration) {
    if (registration.hasIndexedId && registration.indexedId != element->controlId)
        Forget(byControlId, registration.indexedId, element);
    registration.indexedId = element->controlId;
    registration.hasIndexedId = true;
    const int id = element->controlId;
    Index(byControlId, id, element, registration, [id](GUIElement* e) { return e->controlId == id; });
}

// The first element of the list that holds the handle, indexed for the
// next lookup.
GUIElement* WalkForWindow(HWND handle) {
    for (GUIElement* element : elementRegistry) {
        if (element->window != handle) continue;
        if (handle != nullptr) IndexWindowOf(element, registrations[element]);
        return element;
    }
    return nullptr;
}

GUIElement* WalkForControlId(int id) {
    for (GUIElement* element : elementRegistry) {
        if (element->controlId != id) continue;
        IndexControlIdOf(element, registrations[element]);
        return element;
    }
    return nullptr;
}

GUIElement* IndexedWindowHolder(HWND handle) {
    auto found = byWindow.find(handle);
    if (found == byWindow.end() || found->second->window != handle) return nullptr;
    return found->second;
}

}  // namespace

void RegisterElement(GUIElement* element) {
    elementRegistry.push_back(element);
    registrations[element].places.emplace_back(std::prev(elementRegistry.end()), nextRank++);
}

void UnregisterElement(GUIElement* element) {
    auto found = registrations.find(element);
    if (found == registrations.end()) return;
    Registration& registration = found->second;
    elementRegistry.erase(registration.places.back().first);
    registration.places.pop_back();
    if (!registration.places.empty()) return;
    if (registration.indexedWindow != nullptr) Forget(byWindow, registration.indexedWindow, element);
    if (registration.hasIndexedId) Forget(byControlId, registration.indexedId, element);
    registrations.erase(found);
}

bool IsRegistered(const GUIElement* element) { return element != nullptr && RegistrationOf(element) != nullptr; }

void IndexWindow(GUIElement* element) {
    if (Registration* registration = RegistrationOf(element)) IndexWindowOf(element, *registration);
}

void IndexControlId(GUIElement* element) {
    if (Registration* registration = RegistrationOf(element)) IndexControlIdOf(element, *registration);
}

GUIElement* FindElementHolding(HWND handle) {
    if (handle == nullptr) return nullptr;
    if (GUIElement* element = IndexedWindowHolder(handle)) return element;
    return WalkForWindow(handle);
}

GUIElement* FindByWindow(HWND handle) {
    if (handle != nullptr) {
        if (GUIElement* element = IndexedWindowHolder(handle)) return element;
        // A window whose element is still inside CreateWindowExW: the element
        // does not know its handle yet, and every other element is indexed.
        if (!creationStack.empty() && creationStack.back()->window == nullptr && IsRegistered(creationStack.back()))
            return creationStack.back();
    }
    return WalkForWindow(handle);
}

GUIElement* FindByControlId(int id) {
    auto found = byControlId.find(id);
    if (found != byControlId.end() && found->second->controlId == id) return found->second;
    return WalkForControlId(id);
}

SubMenu* FindMenuItemById(int id) {
    if (auto* item = dynamic_cast<SubMenu*>(FindByControlId(id))) return item;
    // Identifiers are unique but for counters set back by hand.
    for (GUIElement* element : elementRegistry) {
        if (element->controlId != id) continue;
        if (auto* item = dynamic_cast<SubMenu*>(element)) return item;
    }
    return nullptr;
}

void BeginWindowCreation(GUIElement* element) { creationStack.push_back(element); }

void EndWindowCreation(GUIElement* element) {
    auto found = std::find(creationStack.rbegin(), creationStack.rend(), element);
    if (found != creationStack.rend()) creationStack.erase(std::next(found).base());
}

GUIElement* ElementBeingCreated() { return creationStack.empty() ? nullptr : creationStack.back(); }

}  // namespace QVUtility
