// Description of a font; the platform font is made on first use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace QVUtility {

class FontDescription {
public:
    HFONT handle = nullptr;   // made by GetFont, owned by this record
    std::wstring face;        // face name
    std::int32_t height = 0;  // >0 cell height, <0 character height, 0 default size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false;
    // The screen density the height is given for: the font is made
    // height x dpi / 96 pixels high (the height as it is at 96).
    int dpi = 96;

    // Face "System", default size, no flags.
    FontDescription();
    // The narrow face name (system code page) is widened.
    FontDescription(const std::string& faceName, std::int32_t fontHeight);
    FontDescription(const std::wstring& faceName, std::int32_t fontHeight);
    ~FontDescription();

    // A copy describes the same font and makes a platform font of its own
    // when first used; the handle itself is never shared.
    FontDescription(const FontDescription& other);
    FontDescription& operator=(const FontDescription& other);
    FontDescription(FontDescription&& other) noexcept;
    FontDescription& operator=(FontDescription&& other) noexcept;

    // The platform font, made now when there is none yet (none when the
    // platform refuses).
    HFONT GetFont();

    // Makes the font for a screen of `newDpi` dots per inch from now on.
    void SetDpi(int newDpi);

    // Deletes the platform font; the next GetFont makes it again from the
    // fields (after a field changed, for example).
    void Release();

private:
    void CopyFieldsFrom(const FontDescription& other);
};

}  // namespace QVUtility
