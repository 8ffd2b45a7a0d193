// Widget gallery: one form with every widget of the toolkit, filled with
// Italian sample texts, for looking at them side by side. Not a test.
//
// The toolbar, the buttons and the check boxes report in the status bar;
// a one-second timer shows the time there until the first report.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inputs_resources.h"
#include "model/Date.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/MessageLoop.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/ComboBoxEx.h"
#include "toolkit/widgets/CurrencyBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/GroupBox.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/ListBox.h"
#include "toolkit/widgets/ListView.h"
#include "toolkit/widgets/NumericBox.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TextBox.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/Timer.h"
#include "toolkit/widgets/ToolBar.h"

using namespace QVUtility;

namespace {

// Everything the gallery makes, released when the form is gone.
struct Gallery {
    Form* form = nullptr;
    FontDescription font{"Tahoma", 16};
    FontDescription boldFont{"Tahoma", 16};
    std::vector<GUIElement*> elements;
    HIMAGELIST colourImages = nullptr;
    std::vector<HBITMAP> bitmaps;
    StatusBar* status = nullptr;
    Timer* clock = nullptr;
    bool reported = false;

    template <typename T>
    T* Add(T* element, int x, int y, int w, int h) {
        element->x = x;
        element->y = y;
        element->width = w;
        element->height = h;
        if (element->font == nullptr) element->font = &font;
        elements.push_back(element);
        return element;
    }
};

Gallery gallery;

// Narrow texts are in the system code page: "\xE0" is "à", "\xE8" is "è".

void Report(const std::wstring& message) {
    gallery.reported = true;
    if (gallery.status != nullptr) gallery.status->SetText(message);
}

void OnButton(GUIElement* element) { Report(L"Premuto: " + element->GetText()); }

void OnCheck(GUIElement* element) {
    auto* box = static_cast<CheckBox*>(element);
    Report(element->GetText() + (box->checkState ? L" attivato" : L" disattivato"));
}

void OnToolItem(GUIElement* element) { Report(L"Barra degli strumenti: " + Widen(element->tooltipText)); }

void OnChoice(GUIElement* element) {
    auto* combo = static_cast<ComboBox*>(element);
    Report(L"Scelto: " + combo->GetItemText(combo->GetSelectedIndex()));
}

void OnTick(Timer*) {
    if (gallery.reported || gallery.status == nullptr) return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t line[128];
    swprintf(line, 128, L"Pronto: propriet\u00E0 gi\u00E0 caricate \u2014 ore %02u:%02u:%02u", now.wHour, now.wMinute,
             now.wSecond);
    gallery.status->SetText(line);
}

HBITMAP SolidBitmap(int w, int h, COLORREF fill, COLORREF frame) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH border = CreateSolidBrush(frame);
    HBRUSH inside = CreateSolidBrush(fill);
    RECT all{0, 0, w, h};
    FillRect(memory, &all, border);
    RECT inner{1, 1, w - 1, h - 1};
    FillRect(memory, &inner, inside);
    DeleteObject(border);
    DeleteObject(inside);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    gallery.bitmaps.push_back(bitmap);
    return bitmap;
}

MyApp::Date Day(int day, int month, int year) {
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(day);
    st.wMonth = static_cast<WORD>(month);
    st.wYear = static_cast<WORD>(year);
    return MyApp::MakeDate(st);
}

SYSTEMTIME Time(int day, int month, int year) { return Day(day, month, year).value; }

std::wstring Widen1252(const char* text) {
    wchar_t wide[256] = {};
    MultiByteToWideChar(1252, 0, text, -1, wide, 256);
    return wide;
}

void BuildTextColumn(Form* form) {
    gallery.Add(new GroupBox(form, "Campi di testo"), 10, 40, 300, 330);
    gallery.Add(new Label(form, "Descrizione:"), 25, 65, 110, 22);
    gallery.Add(new TextBox(form, "Propriet\xE0 gi\xE0 definita"), 140, 62, 155, 25);
    gallery.Add(new Label(form, "Costo (valuta):"), 25, 100, 110, 22);
    auto* cost = gallery.Add(new CurrencyBox(form, 1234.5), 140, 97, 155, 25);
    cost->alignRight = 1;
    gallery.Add(new Label(form, "Risorse:"), 25, 135, 110, 22);
    auto* resources = gallery.Add(new TextBox(form, "3"), 140, 132, 80, 25);
    resources->numbersOnly = 1;
    auto* spinner = gallery.Add(new NumericBox(form, resources), 0, 0, 0, 0);
    spinner->value = 3;
    gallery.Add(new Label(form, "Codice:"), 25, 170, 110, 22);
    auto* upper = gallery.Add(new TextBox(form, "vlm-2026"), 140, 167, 155, 25);
    upper->upperCase = 1;
    upper->alignCenter = 1;
    auto* report = gallery.Add(new TextBox(form, ""), 25, 205, 270, 150);
    report->multiLine = 1;
    report->readOnly = 1;
    report->verticalBar = 1;
    report->wordWrap = 1;
    report->text =
        L"TASK: Rifacimento tetto\r\nDal: 05/01/2026 al 30/01/2026\r\nTotale giorni lavorativi: 19\r\n"
        L"Costo Task: 5.719\r\n\r\nNote: la propriet\u00E0 \u00E8 gi\u00E0 stata verificata; "
        L"perch\u00E9 non c'\u00E8 pi\u00F9 tempo, si procede cos\u00EC.";
}

void BuildChoiceColumn(Form* form) {
    gallery.Add(new GroupBox(form, "Scelte"), 320, 40, 300, 330);
    gallery.Add(new Label(form, "Elenco:"), 335, 65, 90, 22);
    auto* combo = gallery.Add(new ComboBox(form), 430, 62, 175, 130);
    combo->AddItem(L"Priorit\u00E0 alta", L"1");
    combo->AddItem(L"Priorit\u00E0 media", L"2");
    combo->AddItem(L"Gi\u00E0 completato", L"3");
    combo->onCommand = OnChoice;

    gallery.Add(new Label(form, "Colore:"), 335, 100, 90, 22);
    gallery.colourImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 0);
    const COLORREF colours[] = {0xFFF300, 0xFFFFFF, 0xFF0000, 0x0000FF, 0x0FE71E};
    for (COLORREF colour : colours) ImageList_Add(gallery.colourImages, SolidBitmap(16, 16, colour, 0x808080), nullptr);
    auto* colourList = gallery.Add(new ComboBoxEx(form, &gallery.colourImages), 430, 97, 175, 125);
    const char* names[] = {"Azzuro", "Bianco", "Blu", "Rosso", "Verde"};
    for (int i = 0; i < 5; ++i)
        colourList->AddColourItem(names[i], std::to_string(static_cast<unsigned long>(colours[i])), i);
    colourList->onCommand = OnChoice;

    gallery.Add(new Label(form, "Giorni esclusi:"), 335, 135, 90, 22);
    auto* days = gallery.Add(new ListBox(form), 430, 132, 175, 90);
    for (const char* day : {"01/01/2026", "06/01/2026", "05/04/2026", "06/04/2026", "25/04/2026"})
        days->AddItem(day, day);

    gallery.Add(new Label(form, "Data inizio:"), 335, 235, 90, 22);
    auto* start = gallery.Add(new DatePicker(form), 430, 232, 175, 25);
    start->date = Time(22, 12, 2025);
    start->rangeMin = Time(1, 12, 2025);
    start->hasMin = 1;
    start->rangeMax = Time(30, 4, 2026);
    start->hasMax = 1;
    gallery.Add(new Label(form, "Data fine:"), 335, 270, 90, 22);
    auto* end = gallery.Add(new DatePicker(form), 430, 267, 175, 25);
    end->showNone = 1;
    end->date = SYSTEMTIME{};  // no date yet
    gallery.Add(new Label(form, "Orario:"), 335, 305, 90, 22);
    auto* time = gallery.Add(new DatePicker(form), 430, 302, 175, 25);
    time->timeFormat = 1;
}

void BuildButtonColumn(Form* form) {
    gallery.Add(new GroupBox(form, "Pulsanti e immagini"), 630, 40, 330, 330);
    auto* ok = gallery.Add(new Button(form, "OK"), 645, 65, 100, 28);
    ok->onCommand = OnButton;
    auto* cancel = gallery.Add(new Button(form, "Annulla"), 755, 65, 100, 28);
    cancel->onCommand = OnButton;

    auto* open = gallery.Add(new Button(form, "Apri progetto"), 645, 102, 150, 30);
    open->ownerDraw = 1;
    open->bitmapEnabled = SolidBitmap(16, 16, RGB(230, 160, 20), RGB(120, 70, 0));
    open->onCommand = OnButton;
    auto* info = gallery.Add(new Button(form, "Propriet\xE0"), 805, 102, 140, 44);
    info->ownerDraw = 1;
    info->iconEnabled = LoadIconW(nullptr, IDI_INFORMATION);
    info->onCommand = OnButton;
    auto* disabled = gallery.Add(new Button(form, "Gi\xE0 salvato"), 645, 140, 150, 30);
    disabled->ownerDraw = 1;
    disabled->bitmapDisabled = SolidBitmap(16, 16, RGB(180, 180, 180), RGB(105, 105, 105));
    disabled->enabled = false;

    const char* weekdays[] = {"Luned\xEC", "Sabato", "Domenica"};
    for (int i = 0; i < 3; ++i) {
        auto* box = gallery.Add(new CheckBox(form, weekdays[i]), 645 + i * 100, 180, 95, 24);
        box->checkState = i == 0 ? 1 : 0;
        box->onCommand = OnCheck;
    }
    auto* wide = gallery.Add(new CheckBox(form, "Conta anche i giorni festivi gi\xE0 esclusi dal calendario"), 645, 208,
                             300, 40);
    wide->multiLine = 1;
    wide->onCommand = OnCheck;

    gallery.Add(new Label(form, "Immagine:"), 645, 262, 80, 22);
    auto* picture = gallery.Add(new Image(form, IDB_TEST_STRIP), 730, 258, 52, 20);
    picture->border = 1;
    auto* framed = gallery.Add(new Label(form, "Propriet\xE0 gi\xE0 impostate"), 645, 295, 300, 26);
    framed->border = 1;
    framed->alignCenter = 1;
    auto* right = gallery.Add(new Label(form, "allineato a destra"), 645, 330, 300, 22);
    right->alignRight = 1;
}

void BuildChart(Form* form) {
    auto* panel = gallery.Add(new PanelChildren(form), 10, 380, 950, 300);
    panel->border = 1;
    panel->horizontalBar = 1;
    panel->verticalBar = 1;
    panel->backColour = RGB(255, 255, 255);
    panel->Create();

    auto* title = gallery.Add(new CellControl(panel), 0, 0, 950, 30);
    title->fontBold = true;
    title->fontSize = 18;
    title->backColour = RGB(255, 255, 255);
    title->text = L"Ristrutturazione della propriet\u00E0 \u2014 gi\u00E0 avviata";
    title->font = nullptr;

    auto* ruler = gallery.Add(new TimeLine(panel), 0, 35, 300, 66);
    ruler->font = nullptr;
    const int weekdays[7] = {1, 1, 1, 1, 1, 0, 0};
    ruler->SetProject(Day(20, 12, 2025), Day(10, 4, 2026), {Day(27, 12, 2025)}, {Day(2, 1, 2026)}, weekdays);

    struct Bar {
        const char* name;
        MyApp::Date start;
        int days;
        COLORREF colour;
    };
    const Bar bars[] = {{"Ponteggio", Day(22, 12, 2025), 12, 0xFFF300},
                        {"Rifacimento tetto", Day(5, 1, 2026), 26, 0xFF0000},
                        {"Impianto elettrico gi\xE0 previsto", Day(2, 2, 2026), 30, 0x0FE71E},
                        {"Tinteggiatura", Day(16, 3, 2026), 24, 0x0000FF},
                        {"Collaudo propriet\xE0", Day(7, 4, 2026), 4, 0xFFFFFF}};
    int row = 0;
    for (const Bar& bar : bars) {
        std::int64_t startTicks = 0, firstTicks = 0;
        MyApp::SystemTimeToTicks(bar.start.value, startTicks);
        MyApp::SystemTimeToTicks(ruler->spanStart.value, firstTicks);
        const int column = static_cast<int>((startTicks - firstTicks) / MyApp::TicksPerDay);
        auto* cell = gallery.Add(new CellControl(panel), column * ruler->dayWidth, 110 + row * 32,
                                 bar.days * ruler->dayWidth, 25);
        cell->font = nullptr;
        cell->backColour = bar.colour;
        cell->textColour = bar.colour == 0xFF0000 ? RGB(255, 255, 255) : RGB(0, 0, 0);
        cell->text = Widen1252(bar.name);
        cell->showMarker = row == 1;
        cell->border = true;
        cell->flatBorder = true;
        ++row;
    }
    for (GUIElement* element : gallery.elements)
        if (element->parent == panel) {
            element->Create();
            if (element->backColour != NoColour) element->SetBackColour(element->backColour);
        }
    ruler->SetSize(ruler->width, ruler->height);
    panel->SetContentWidth(ruler->width);
    panel->SetContentHeight(110 + row * 32);
}

// The task table: 400,000 made-up tasks, whose texts are made when drawn.
std::wstring TaskCell(ListView*, std::size_t row, int column) {
    static const wchar_t* const names[] = {L"Ponteggio", L"Rifacimento tetto", L"Impianto elettrico", L"Tinteggiatura",
                                           L"Collaudo propriet\u00E0"};
    wchar_t cell[96];
    const unsigned day = static_cast<unsigned>(row % 28) + 1;
    const unsigned resources = static_cast<unsigned>(row % 4) + 1;
    switch (column) {
    case 0: return names[row % 5] + (L" " + std::to_wstring(row + 1));
    case 1: swprintf(cell, 96, L"%02u/01/2026", day); break;
    case 2: swprintf(cell, 96, L"%02u/02/2026", day); break;
    case 3: swprintf(cell, 96, L"%u", 20 + day % 5); break;
    case 4: swprintf(cell, 96, L"%u", resources); break;
    case 5: swprintf(cell, 96, L"%u,00", 150 + 10 * resources); break;
    default:
        swprintf(cell, 96, L"%u.%03u,00", (150 + 10 * resources) * (20 + day % 5) / 1000,
                 (150 + 10 * resources) * (20 + day % 5) % 1000);
        break;
    }
    return cell;
}

void BuildTaskTable(Form* form) {
    auto* table = gallery.Add(new ListView(form), 970, 40, 600, 640);
    table->rowHeight = 24;
    table->gridLines = true;
    const ListView::Column columns[] = {{L"Descrizione", 150},  {L"Inizio", 75},
                                        {L"Fine", 75},          {L"Giorni lavorativi", 60, true},
                                        {L"Risorse", 55, true}, {L"Costo giornaliero", 80, true},
                                        {L"Costo", 80, true}};
    table->columns.assign(std::begin(columns), std::end(columns));
    table->onItemText = TaskCell;
    table->onSelect = [](ListView*, std::ptrdiff_t row) {
        Report(L"Attivit\u00E0 scelta: " + std::to_wstring(row + 1));
    };
    table->onActivate = [](ListView*, std::ptrdiff_t row) { Report(L"Modifica: " + std::to_wstring(row + 1)); };
    table->onContextMenu = [](ListView*, std::ptrdiff_t row, int, int) {
        Report(L"Menu dell'attivit\u00E0 " + std::to_wstring(row + 1));
    };
    table->Create();
    table->SetRowCount(400000);
    table->SelectRow(2, false);
}

void BuildBars(Form* form) {
    auto* bar = gallery.Add(new ToolBar(form), 0, 0, 190, 25);
    struct Item {
        int image;
        int style;
        const char* tip;
        bool enabled;
    };
    const Item items[] = {{STD_FILENEW, 0, "Nuovo progetto", true},  {STD_FILEOPEN, 0, "Apri", true},
                          {STD_FILESAVE, 0, "Salva", false},         {0, 1, "", true},
                          {STD_PROPERTIES, 0, "Propriet\xE0", true}, {STD_DELETE, 0, "Elimina", true}};
    for (const Item& spec : items) {
        auto* item = gallery.Add(new ToolBarItem(bar), 0, 0, 0, 0);
        item->imageIndex = spec.image;
        item->buttonStyle = static_cast<std::uint8_t>(spec.style);
        item->tooltipText = spec.tip;
        item->enabled = spec.enabled;
        item->onCommand = OnToolItem;
        bar->AddItem(item);
    }
    // Pictures of the program's own strip: two from the strip, one mapped.
    auto* stripFirst = gallery.Add(new ToolBarItem(bar), 0, 0, 0, 0);
    stripFirst->bitmapResource = IDB_TEST_STRIP;
    stripFirst->imageCount = 3;
    stripFirst->tooltipText = "Rosso";
    stripFirst->onCommand = OnToolItem;
    bar->AddItem(stripFirst);
    auto* stripThird = gallery.Add(new ToolBarItem(bar), 0, 0, 0, 0);
    stripThird->imageOffset = 2;
    stripThird->tooltipText = "Blu";
    stripThird->onCommand = OnToolItem;
    bar->AddItem(stripThird);
    auto* mapped = gallery.Add(new ToolBarItem(bar), 0, 0, 0, 0);
    mapped->bitmapResource = IDB_TEST_STRIP;
    mapped->transparentColour = RGB(255, 0, 255);
    mapped->tooltipText = "Rosso con il colore del pulsante";
    mapped->onCommand = OnToolItem;
    bar->AddItem(mapped);
    bar->font = nullptr;

    gallery.status = gallery.Add(new StatusBar(form, "Pronto"), 0, 0, 0, 0);
    gallery.status->font = nullptr;
    gallery.clock = gallery.Add(new Timer(form, 1000), 0, 0, 50, 22);
    gallery.clock->onTimer = OnTick;
    gallery.clock->font = nullptr;
}

void BuildControls(GUIElement* element, HWND) {
    auto* form = static_cast<Form*>(element);
    BuildBars(form);
    BuildTextColumn(form);
    BuildChoiceColumn(form);
    BuildButtonColumn(form);
    for (GUIElement* child : gallery.elements)
        if (child->parent == form) child->Create();
    BuildChart(form);
    BuildTaskTable(form);
    for (GUIElement* child : gallery.elements)
        if (auto* combo = dynamic_cast<ComboBox*>(child)) combo->Select(0);
    SendMessageW(gallery.status->window, WM_SIZE, 0, 0);
    gallery.clock->Start();
    OnTick(gallery.clock);
}

void Resized(GUIElement*) {
    if (gallery.status != nullptr && gallery.status->window != nullptr)
        SendMessageW(gallery.status->window, WM_SIZE, 0, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&classes);
    gallery.boldFont.bold = true;

    gallery.form = new Form(instance);
    gallery.form->text = L"Galleria dei controlli \u2014 propriet\u00E0 gi\u00E0 pronte";
    gallery.form->x = 10;
    gallery.form->y = 10;
    gallery.form->width = 1585;
    gallery.form->height = 760;
    gallery.form->font = &gallery.boldFont;
    gallery.form->onCreate = BuildControls;
    gallery.form->onResize = Resized;
    gallery.form->Create();
    RunMessageLoop(gallery.form);

    // Elements first (the timer stops itself), then the form and its window.
    for (auto it = gallery.elements.rbegin(); it != gallery.elements.rend(); ++it) delete *it;
    gallery.elements.clear();
    delete gallery.form;
    if (gallery.colourImages != nullptr) ImageList_Destroy(gallery.colourImages);
    for (HBITMAP bitmap : gallery.bitmaps) DeleteObject(bitmap);
    return 0;
}
