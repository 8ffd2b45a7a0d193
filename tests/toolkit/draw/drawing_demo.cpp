// A form that paints itself through the drawing surface: rectangles with and
// without outline, frames, text in several fonts and alignments, a picture
// drawn opaque, stretched and with black left out, all composed off screen.
// With an argument, the composed picture is also written there as a .bmp
// file and the program ends.
#include <windows.h>

#include <string>

#include "toolkit/core/Form.h"
#include "toolkit/core/MessageLoop.h"
#include "toolkit/draw/BitmapFile.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"

using namespace QVUtility;

namespace {

HBITMAP badge = nullptr;  // black background: the transparent part
FontDescription* titleFont = nullptr;
FontDescription* labelFont = nullptr;
FontDescription* italicFont = nullptr;
std::string exportPath;

HBITMAP MakeBadge() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 48, 48);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    Drawing surface;
    surface.Attach(dc, false);
    surface.FillRect(0, 0, 48, 48, 0, 0, RGB(0, 0, 0));
    HBRUSH gold = CreateSolidBrush(RGB(255, 200, 0));
    HGDIOBJ oldBrush = SelectObject(dc, gold);
    Ellipse(dc, 4, 4, 44, 44);
    SelectObject(dc, oldBrush);
    DeleteObject(gold);
    surface.FillRect(16, 16, 16, 16, 2, RGB(255, 255, 255), RGB(30, 90, 200));
    surface.End();
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

void Compose(Drawing& surface, int width, int height) {
    surface.FillRect(0, 0, width, height, 0, 0, RGB(236, 240, 244));
    surface.DrawText(0, 12, width, 40, std::wstring(L"Superficie di disegno: propriet\u00E0 gi\u00E0 impostate"),
                     RGB(20, 40, 90), titleFont, 2);

    // Rectangles: fill only, fill with outline, frame.
    surface.FillRect(30, 70, 160, 90, 0, 0, RGB(112, 173, 71));
    surface.FillRect(220, 70, 160, 90, 3, RGB(200, 30, 30), RGB(255, 230, 153));
    surface.FrameRect(410, 70, 160, 90, 2, RGB(30, 30, 160));
    surface.DrawText(30, 165, 160, 20, std::string("senza bordo"), RGB(0, 0, 0), labelFont, 2);
    surface.DrawText(220, 165, 160, 20, std::string("bordo di 3 pixel"), RGB(0, 0, 0), labelFont, 2);
    surface.DrawText(410, 165, 160, 20, std::string("solo cornice"), RGB(0, 0, 0), labelFont, 2);

    // Text aligned in boxes, clipped to them, and written unclipped.
    surface.FillRect(30, 210, 540, 26, 1, RGB(160, 160, 160), RGB(255, 255, 255));
    surface.DrawText(34, 214, 532, 20, std::string("a sinistra: perch\xE9"), RGB(0, 0, 0), labelFont, 0);
    surface.FillRect(30, 240, 540, 26, 1, RGB(160, 160, 160), RGB(255, 255, 255));
    surface.DrawText(34, 244, 532, 20, std::wstring(L"al centro: citt\u00E0"), RGB(0, 0, 0), labelFont, 2);
    surface.FillRect(30, 270, 540, 26, 1, RGB(160, 160, 160), RGB(255, 255, 255));
    surface.DrawText(34, 274, 532, 20, std::wstring(L"a destra: pi\u00F9 \u00E8 meglio"), RGB(0, 0, 0), labelFont, 1);
    surface.FillRect(30, 300, 120, 26, 1, RGB(160, 160, 160), RGB(255, 255, 255));
    surface.DrawText(34, 304, 112, 20, std::wstring(L"tagliato nel suo riquadro"), RGB(160, 0, 0), labelFont, 0);
    surface.DrawText(160, 304, 0, 0, std::wstring(L"scritto senza riquadro, in corsivo: virt\u00F9"), RGB(0, 100, 0),
                     italicFont, 0);

    // The badge: opaque, stretched, and with black left out over stripes.
    surface.DrawText(30, 345, 0, 0, std::string("immagine:"), RGB(0, 0, 0), labelFont, 0);
    surface.DrawBitmap(badge, 120, 340, 0, 0);
    surface.DrawBitmap(badge, 180, 340, 72, 72);
    for (int stripe = 0; stripe < 8; ++stripe) {
        surface.FillRect(280 + stripe * 12, 340, 12, 72, 0, 0, stripe % 2 ? RGB(250, 120, 120) : RGB(120, 200, 250));
    }
    surface.DrawBitmapTransparent(badge, 292, 352, 0, 0);
    surface.DrawBitmapTransparent(badge, 390, 340, 72, 72);
    surface.DrawText(280, 416, 200, 20, std::string("nero trasparente"), RGB(0, 0, 0), labelFont, 0);
}

void PaintForm(GUIElement* element) {
    Drawing surface;
    surface.Begin(element);
    if (!surface.context) return;
    RECT client{};
    GetClientRect(element->window, &client);
    HDC buffer = surface.CreateBackBuffer();
    Drawing offScreen;
    offScreen.Attach(buffer, true);
    Compose(offScreen, client.right, client.bottom);
    HBITMAP picture = offScreen.CaptureRegion(0, 0, client.right, client.bottom);
    offScreen.End();
    surface.DrawBitmap(picture, 0, 0, 0, 0);
    surface.End();
    if (!exportPath.empty()) {
        SaveBitmapFile(exportPath, picture);
        PostMessageW(element->window, WM_CLOSE, 0, 0);
        exportPath.clear();
    }
    Drawing::ReleaseBitmap(picture);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (commandLine && *commandLine) exportPath = Narrow(commandLine);
    badge = MakeBadge();
    FontDescription title("Tahoma", 24);
    title.bold = true;
    FontDescription label("Tahoma", 16);
    FontDescription italic("Tahoma", 16);
    italic.italic = true;
    titleFont = &title;
    labelFont = &label;
    italicFont = &italic;

    Form form(instance);
    form.text = L"Disegno \u2014 propriet\u00E0 gi\u00E0";
    form.x = 40;
    form.y = 40;
    form.width = 620;
    form.height = 500;
    form.onPaint = PaintForm;
    form.Create();
    RunMessageLoop(&form);
    DeleteObject(badge);
    return 0;
}
