// Small owners for GDI handles, so that "put back what was selected, delete
// what was made, exactly once" holds by construction: an early return or an
// exception leaves the context as it was found and releases what was made.
// Every object made or released here is counted in the GdiTally.
//
// Declare the owner of an object before the selection that uses it: owners
// go out of scope in reverse order, so the object leaves the context first.
#pragma once

#include <windows.h>

#include <utility>

#include "toolkit/draw/GdiTally.h"

namespace QVUtility {

// Selects an object into a context for the scope and then puts back the
// object it replaced. Nothing happens without a context or an object.
class ScopedSelect {
public:
    ScopedSelect(HDC context, HGDIOBJ object)
        : context_(context), previous_(context && object ? SelectObject(context, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) SelectObject(context_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

    // Whether the object went in.
    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC context_;
    HGDIOBJ previous_;
};

// A pen, brush, bitmap or font made by the caller, deleted with the owner
// unless handed on with Release.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    // Takes (and counts) a newly made object; an empty handle is fine.
    explicit GdiObject(Handle made) : handle_(CountGdiCreation(made)) {}
    ~GdiObject() { ReleaseGdiObject(handle_); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Hands the object to the caller, who releases it from now on.
    Handle Release() { return std::exchange(handle_, nullptr); }
    // Deletes the object held and takes (and counts) `made` instead.
    void Reset(Handle made = nullptr) {
        ReleaseGdiObject(handle_);
        handle_ = CountGdiCreation(made);
    }

private:
    Handle handle_ = nullptr;
};

// A memory context compatible with another context (the screen's when
// null), deleted with the owner.
class MemoryContext {
public:
    explicit MemoryContext(HDC compatibleWith) : context_(CountGdiCreation(CreateCompatibleDC(compatibleWith))) {}
    ~MemoryContext() { ReleaseMemoryContext(context_); }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;

    HDC Get() const { return context_; }
    explicit operator bool() const { return context_ != nullptr; }

private:
    HDC context_;
};

// The screen's context (or a window's client area), given back with the
// owner.
class ScreenContext {
public:
    explicit ScreenContext(HWND window = nullptr) : window_(window), context_(CountGdiCreation(GetDC(window))) {}
    ~ScreenContext() { ReleaseWindowContext(window_, context_); }
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;

    HDC Get() const { return context_; }
    explicit operator bool() const { return context_ != nullptr; }

private:
    HWND window_;
    HDC context_;
};

}  // namespace QVUtility
