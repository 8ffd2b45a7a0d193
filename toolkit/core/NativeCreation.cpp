#include "toolkit/core/NativeCreation.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/GUIElement.h"
#include "toolkit/draw/GdiTally.h"

namespace QVUtility {

CreationRefusals refusedCreations;

namespace {

struct ClassRecord {
    HINSTANCE instance = nullptr;
    HBRUSH ownedBrush = nullptr;  // released with the class
    int windows = 0;
    bool waiting = false;  // in `unused`
};

std::unordered_map<std::wstring, ClassRecord> classes;
std::unordered_map<HWND, std::wstring> classOfWindow;
std::vector<std::wstring> unused;  // classes without windows, not yet unregistered
int messageDepth = 0;

void MarkUnused(const std::wstring& name, ClassRecord& record) {
    if (record.windows > 0 || record.waiting) return;
    record.waiting = true;
    unused.push_back(name);
}

}  // namespace

HWND CreateElementWindow(DWORD extendedStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance) {
    if (refusedCreations.windows) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return CreateWindowExW(extendedStyle, className, text, style, x, y, width, height, parent, menu, instance, nullptr);
}

HBRUSH CreateElementBrush(COLORREF colour) {
    if (refusedCreations.brushes) return nullptr;
    return CountGdiCreation(CreateSolidBrush(colour));
}

bool RegisterElementClass(WNDCLASSW& windowClass, COLORREF background) {
    ReleaseUnusedClasses();
    const bool ownBrush = background != NoColour;
    windowClass.hbrBackground = ownBrush ? CreateElementBrush(background) : GetSysColorBrush(COLOR_BTNFACE);
    const bool registered =
        windowClass.hbrBackground != nullptr && !refusedCreations.classes && RegisterClassW(&windowClass) != 0;
    if (!registered) {
        if (ownBrush) ReleaseGdiObject(windowClass.hbrBackground);
        windowClass.hbrBackground = nullptr;
        return false;
    }
    ClassRecord& record = classes[windowClass.lpszClassName];
    record.instance = windowClass.hInstance;
    record.ownedBrush = ownBrush ? windowClass.hbrBackground : nullptr;
    return true;
}

bool RecolourElementClass(HWND window, COLORREF background) {
    const auto owner = classOfWindow.find(window);
    if (owner == classOfWindow.end()) return false;
    const auto found = classes.find(owner->second);
    if (found == classes.end()) return false;
    const bool ownBrush = background != NoColour;
    const HBRUSH brush = ownBrush ? CreateElementBrush(background) : GetSysColorBrush(COLOR_BTNFACE);
    if (brush == nullptr) return false;
    SetClassLongPtrW(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
    if (found->second.ownedBrush != nullptr) ReleaseGdiObject(found->second.ownedBrush);
    found->second.ownedBrush = ownBrush ? brush : nullptr;
    return true;
}

void AttachClassWindow(const wchar_t* className, HINSTANCE instance, HWND window) {
    auto found = classes.find(className);
    if (found == classes.end() || found->second.instance != instance) return;
    if (window != nullptr) {
        ++found->second.windows;
        classOfWindow[window] = found->first;
    } else {
        MarkUnused(found->first, found->second);
        ReleaseUnusedClasses();
    }
}

void DetachClassWindow(HWND window) {
    auto owner = classOfWindow.find(window);
    if (owner == classOfWindow.end()) return;
    auto found = classes.find(owner->second);
    classOfWindow.erase(owner);
    if (found == classes.end()) return;
    --found->second.windows;
    MarkUnused(found->first, found->second);
}

void ReleaseUnusedClasses() {
    std::vector<std::wstring> waiting;
    waiting.swap(unused);
    for (const std::wstring& name : waiting) {
        auto found = classes.find(name);
        if (found == classes.end()) continue;
        ClassRecord& record = found->second;
        record.waiting = false;
        if (record.windows > 0) continue;  // a window of it was made meanwhile
        if (!UnregisterClassW(name.c_str(), record.instance) && GetLastError() == ERROR_CLASS_HAS_WINDOWS) {
            MarkUnused(name, record);  // its last window is still going away
            continue;
        }
        // The platform deletes a class's brush with the class.
        if (record.ownedBrush != nullptr) {
            if (GetObjectType(record.ownedBrush) == 0) {
                NoteGdiReleased();
            } else {
                ReleaseGdiObject(record.ownedBrush);
            }
        }
        classes.erase(found);
    }
}

std::size_t RegisteredClassCount() { return classes.size(); }

MessageScope::MessageScope() { ++messageDepth; }

MessageScope::~MessageScope() {
    if (--messageDepth == 0 && !unused.empty()) ReleaseUnusedClasses();
}

}  // namespace QVUtility
