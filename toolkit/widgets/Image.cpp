#include "toolkit/widgets/Image.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

Image::Image(GUIElement* parentElement, int resource)
    : Child(parentElement, TypeKeyword::Image), resourceId(resource) {}

Image::~Image() {
    // The control must not keep showing a bitmap that is about to go.
    if (window != nullptr && IsWindow(window)) SendMessageW(window, STM_SETIMAGE, IMAGE_BITMAP, 0);
    ReleaseGdiObject(bitmap);
}

void Image::Create() {
    if (created) return;
    DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_BITMAP;
    if (border) style |= WS_BORDER;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(L"static", style, border ? WS_EX_CLIENTEDGE : 0);
    if (resourceId == -1) SetImageFile(imageFile);
    else SetImageResource(resourceId);
    FinishCreate();
}

void Image::Show(HBITMAP picture) {
    // The previous bitmap leaves the control before it is released.
    const HANDLE shownBefore =
        reinterpret_cast<HANDLE>(SendMessageW(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    // A bitmap the control answers that is not ours is a copy it made for
    // itself: not counted among ours, so deleted directly.
    if (shownBefore != nullptr && shownBefore != bitmap && shownBefore != picture) DeleteObject(shownBefore);
    if (bitmap != picture) ReleaseGdiObject(bitmap);
    bitmap = picture;
}

HBITMAP Image::FittedCopy(HBITMAP source) {
    BITMAP held{};
    if (source == nullptr || width <= 0 || height <= 0 || !GetObjectW(source, sizeof held, &held) ||
        (held.bmWidth == width && held.bmHeight == height))
        return source;
    const ScreenContext screen;
    GdiObject<HBITMAP> fitted(CreateCompatibleBitmap(screen.Get(), width, height));
    const MemoryContext from(screen.Get());
    const MemoryContext to(screen.Get());
    if (!fitted || !from || !to) return source;
    {
        const ScopedSelect fromSelection(from.Get(), source);
        const ScopedSelect toSelection(to.Get(), fitted.Get());
        SetStretchBltMode(to.Get(), HALFTONE);
        SetBrushOrgEx(to.Get(), 0, 0, nullptr);
        StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, held.bmWidth, held.bmHeight, SRCCOPY);
    }
    ReleaseGdiObject(source);
    return fitted.Release();
}

void Image::SetImageFile(const std::string& path) {
    imageFile = path;
    resourceId = -1;
    if (window == nullptr || path.empty()) return;
    const std::wstring widePath = Widen(path);
    Show(CountGdiCreation(static_cast<HBITMAP>(
        LoadImageW(nullptr, widePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))));
}

void Image::SetImageResource(int id) {
    imageFile.clear();
    resourceId = id;
    if (window == nullptr || id <= 0) return;
    HBITMAP loaded = CountGdiCreation(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    Show(fitToSize ? FittedCopy(loaded) : loaded);
}

}  // namespace QVUtility
