// A small form built only from the toolkit, to look at: a menu bar, a panel
// that scrolls a column of painted cells, and an owner-drawn button with a
// picture. It scrolls the panel by itself shortly after it starts, so that a
// screenshot shows the scrolled state.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/Form.h"
#include "toolkit/core/Menu.h"
#include "toolkit/core/MessageLoop.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/PanelChildren.h"

using namespace QVUtility;

namespace {

constexpr COLORREF BarColours[] = {RGB(70, 130, 180), RGB(60, 179, 113), RGB(238, 180, 34), RGB(205, 92, 92),
                                   RGB(147, 112, 219)};

class DemoForm : public Form {
public:
    explicit DemoForm(HINSTANCE instance) : Form(instance), uiFont("Tahoma", -13) {
        text = L"QVUtility - prova degli elementi";
        x = 80;
        y = 60;
        width = 720;
        height = 520;
        font = &uiFont;
        onCreate = [](GUIElement* element, HWND) { static_cast<DemoForm*>(element)->Build(); };
        onClose = [](GUIElement*) { return true; };
        Create();
    }

    ~DemoForm() override {
        if (picture != nullptr) DeleteObject(picture);
    }

private:
    FontDescription uiFont;
    std::unique_ptr<MenuBar> bar;
    std::vector<std::unique_ptr<GUIElement>> owned;
    PanelChildren* panel = nullptr;
    Label* status = nullptr;
    Button* closeButton = nullptr;
    HBITMAP picture = nullptr;

    template <typename T, typename... Args>
    T* Make(Args&&... args) {
        auto element = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = element.get();
        owned.push_back(std::move(element));
        return raw;
    }

    void Build() {
        bar = std::make_unique<MenuBar>(this);
        Menu* file = Make<Menu>("&File", bar.get());
        Make<SubMenu>(file, std::wstring(L"&Apri..."));
        SubMenu* save = Make<SubMenu>(file, std::wstring(L"&Salva"));
        save->enabled = false;
        Make<SubMenu>(file, "");
        SubMenu* exit = Make<SubMenu>(file, std::wstring(L"&Esci"));
        exit->onCommand = [](GUIElement* element) {
            SendMessageW(element->parent->parent->parent->window, WM_CLOSE, 0, 0);
        };
        Menu* view = Make<Menu>("&Visualizza", bar.get());
        SubMenu* grid = Make<SubMenu>(view, std::wstring(L"&Griglia"));
        grid->checkable = true;
        grid->checked = true;
        SubMenu* zoom = Make<SubMenu>(view, std::wstring(L"&Zoom"));
        Make<SubMenu>(zoom, std::wstring(L"100%"));
        Make<SubMenu>(zoom, std::wstring(L"200%"));
        Make<Menu>("&?", bar.get());
        bar->Create();

        panel = Make<PanelChildren>(this);
        panel->x = 10;
        panel->y = 10;
        panel->width = 520;
        panel->height = 420;
        panel->border = true;
        panel->verticalBar = true;
        panel->backColour = RGB(255, 255, 255);
        panel->onVerticalScroll = [](GUIElement* element, int delta) {
            auto* self = static_cast<DemoForm*>(FindByWindow(mainWindow));
            if (self == nullptr) return;
            const std::string shown = "Scorrimento richiesto: " + std::to_string(delta);
            self->status->SetTextNarrow(shown);
            (void)element;
        };
        panel->Create();
        panel->SetContentHeight(1200);
        for (int i = 0; i < 24; ++i) {
            CellControl* cell = Make<CellControl>(panel);
            cell->x = 10 + (i % 6) * 40;
            cell->y = 10 + i * 48;
            cell->width = 240;
            cell->height = 28;
            cell->textColour = RGB(255, 255, 255);
            cell->fontBold = true;
            cell->text = L"Attività " + std::to_wstring(i + 1);
            cell->Create();
            cell->SetBackColour(BarColours[i % 5]);
        }

        picture = MakePicture();
        closeButton = Make<Button>(this, "Chiudi");
        closeButton->ownerDraw = 1;
        closeButton->bitmapEnabled = picture;
        closeButton->x = 545;
        closeButton->y = 10;
        closeButton->width = 140;
        closeButton->height = 44;
        closeButton->font = &uiFont;
        closeButton->onCommand = [](GUIElement* element) { SendMessageW(element->parent->window, WM_CLOSE, 0, 0); };
        closeButton->Create();

        Button* plain = Make<Button>(this, "Disattivato");
        plain->ownerDraw = 1;
        plain->x = 545;
        plain->y = 64;
        plain->width = 140;
        plain->height = 32;
        plain->font = &uiFont;
        plain->enabled = false;
        plain->Create();

        status = Make<Label>(this, "Pronto");
        status->x = 10;
        status->y = 440;
        status->width = 520;
        status->height = 20;
        status->font = &uiFont;
        status->Create();

        // Scroll once by itself, as a wheel notch and a line would.
        SetTimer(window, 1, 600, [](HWND form, UINT, UINT_PTR timer, DWORD) {
            KillTimer(form, timer);
            auto* self = static_cast<DemoForm*>(FindByWindow(form));
            if (self == nullptr) return;
            SendMessageW(self->panel->window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
            SendMessageW(self->panel->window, WM_VSCROLL, SB_LINEDOWN, 0);
            self->closeButton->Focus();
        });
    }

    // A 24 x 24 picture: a red disc on black (black is transparent).
    HBITMAP MakePicture() {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 24);
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all{0, 0, 24, 24};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        HBRUSH red = CreateSolidBrush(RGB(200, 30, 30));
        HGDIOBJ oldBrush = SelectObject(memory, red);
        SelectObject(memory, GetStockObject(NULL_PEN));
        Ellipse(memory, 2, 2, 22, 22);
        SelectObject(memory, oldBrush);
        DeleteObject(red);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return bitmap;
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    auto form = std::make_unique<DemoForm>(instance);
    RunMessageLoop(form.get());
    form.reset();
    return 0;
}
