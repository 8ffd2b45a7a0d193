#include "toolkit/Registry.h"

#include <algorithm>

#include "toolkit/GUIElement.h"
#include "toolkit/Menu.h"

namespace QVUtility {

std::vector<GUIElement*> elementRegistry;
int controlCounter = 0;
HWND mainWindow = nullptr;
GUIElement* activeForm = nullptr;
GUIElement* activePanel = nullptr;
GUIElement* wheelTarget = nullptr;
bool mouseTracking = false;

namespace {
// Elements whose CreateWindowExW is running, innermost last (a form's
// WM_CREATE may create panels, whose creation nests inside the form's).
std::vector<GUIElement*> creationStack;
}  // namespace

void RegisterElement(GUIElement* element) { elementRegistry.push_back(element); }

void UnregisterElement(GUIElement* element) {
    auto found = std::find(elementRegistry.rbegin(), elementRegistry.rend(), element);
    if (found != elementRegistry.rend()) elementRegistry.erase(std::next(found).base());
}

bool IsRegistered(const GUIElement* element) {
    if (element == nullptr) return false;
    return std::find(elementRegistry.begin(), elementRegistry.end(), element) != elementRegistry.end();
}

GUIElement* FindByWindow(HWND handle) {
    for (GUIElement* element : elementRegistry)
        if (element->window == handle) return element;
    // A window whose element is still inside CreateWindowExW: the element
    // does not know its handle yet.
    if (handle != nullptr && !elementRegistry.empty() && !creationStack.empty()) {
        GUIElement* creating = creationStack.back();
        if (creating->window == nullptr) return creating;
    }
    return nullptr;
}

GUIElement* FindByControlId(int id) {
    for (GUIElement* element : elementRegistry)
        if (element->controlId == id) return element;
    return nullptr;
}

SubMenu* FindMenuItemById(int id) {
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
