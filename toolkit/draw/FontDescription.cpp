#include "toolkit/draw/FontDescription.h"

#include "toolkit/draw/GdiTally.h"
#include "toolkit/platform/TextConversion.h"

#include <utility>

namespace QVUtility {

FontDescription::FontDescription() : face(L"System") {}

FontDescription::FontDescription(const std::string& faceName, std::int32_t fontHeight)
    : face(Widen(faceName)), height(fontHeight) {}

FontDescription::FontDescription(const std::wstring& faceName, std::int32_t fontHeight)
    : face(faceName), height(fontHeight) {}

FontDescription::~FontDescription() { Release(); }

FontDescription::FontDescription(const FontDescription& other) { CopyFieldsFrom(other); }

FontDescription& FontDescription::operator=(const FontDescription& other) {
    if (this != &other) {
        Release();
        CopyFieldsFrom(other);
    }
    return *this;
}

FontDescription::FontDescription(FontDescription&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)),
      face(std::move(other.face)),
      height(other.height),
      bold(other.bold),
      italic(other.italic),
      underline(other.underline),
      fixedPitch(other.fixedPitch),
      dpi(other.dpi) {}

FontDescription& FontDescription::operator=(FontDescription&& other) noexcept {
    if (this != &other) {
        Release();
        CopyFieldsFrom(other);
        handle = std::exchange(other.handle, nullptr);
    }
    return *this;
}

void FontDescription::CopyFieldsFrom(const FontDescription& other) {
    face = other.face;
    height = other.height;
    bold = other.bold;
    italic = other.italic;
    underline = other.underline;
    fixedPitch = other.fixedPitch;
    dpi = other.dpi;
}

HFONT FontDescription::GetFont() {
    if (!handle) {
        const int scaledHeight = dpi == 96 || dpi <= 0 ? height : MulDiv(height, dpi, 96);
        handle = CountGdiCreation(CreateFontW(scaledHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE,
                                              underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                                              CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                              fixedPitch ? FIXED_PITCH : DEFAULT_PITCH, face.c_str()));
    }
    return handle;
}

void FontDescription::SetDpi(int newDpi) {
    if (newDpi <= 0 || newDpi == dpi) return;
    dpi = newDpi;
    Release();
}

void FontDescription::Release() {
    if (handle) {
        ReleaseGdiObject(handle);
        handle = nullptr;
    }
}

}  // namespace QVUtility
