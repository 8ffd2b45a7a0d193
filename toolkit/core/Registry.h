// The toolkit's process-wide state: the registry of live elements, the shared
// control counter and the pointers the window procedure keeps. All of it
// belongs to the one user-interface thread.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <list>

namespace QVUtility {

class GUIElement;
class SubMenu;

// Every live element, in construction order. Beside the list the registry
// keeps indexes by element, by window handle and by control identifier, so
// that registering, unregistering and the lookups below take constant time
// however many elements there are.
extern std::list<GUIElement*> elementRegistry;
// Source of control identifiers and of the numbers in window-class names.
extern int controlCounter;
// Identifiers the program gives its own commands by name (menu items and keys
// added beside the first menus). The counter never hands them out, so those
// commands leave the identifiers of every other element as they were.
constexpr int ReservedCommandFirst = 57344;  // 0xE000
constexpr int ReservedCommandLast = 61439;   // 0xEFFF
// The counter's next value (stored in it), passing over the reserved block.
int NextControlId();
// Window of the first form ever created; its WM_DESTROY posts the quit message.
extern HWND mainWindow;
// Kept by the window procedure; cleared when the element they point to is deleted.
extern GUIElement* activeForm;
extern GUIElement* activePanel;
extern GUIElement* wheelTarget;
extern bool mouseTracking;

void RegisterElement(GUIElement* element);
// Removes the last registration of the element; nothing when absent.
void UnregisterElement(GUIElement* element);
bool IsRegistered(const GUIElement* element);

// First element whose window is the handle. Messages that arrive while an
// element's window is being made (inside CreateWindowExW, before the element
// knows its handle) reach the element being created.
GUIElement* FindByWindow(HWND handle);
// The same without the element being created: only the element that holds
// the handle.
GUIElement* FindElementHolding(HWND handle);
GUIElement* FindByControlId(int id);
SubMenu* FindMenuItemById(int id);

// The element's window or control identifier was just set: index it. The
// toolkit calls these where it sets them; a value set elsewhere is still
// found, by one walk of the list that indexes it for the next time.
void IndexWindow(GUIElement* element);
void IndexControlId(GUIElement* element);

// Marks the element whose CreateWindowExW is running (see FindByWindow).
// Use CreationScope rather than calling these directly.
void BeginWindowCreation(GUIElement* element);
void EndWindowCreation(GUIElement* element);
GUIElement* ElementBeingCreated();

class CreationScope {
public:
    explicit CreationScope(GUIElement* element) : element_(element) { BeginWindowCreation(element_); }
    ~CreationScope() { EndWindowCreation(element_); }
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

private:
    GUIElement* element_;
};

}  // namespace QVUtility
