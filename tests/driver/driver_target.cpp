// A small window for the driver's own tests: a menu, a toolbar, a name field,
// a coloured swatch, lists, a date picker, a number with arrows, a check box
// and a two-part status bar. Everything it does shows up in the status bar,
// where the driver reads it.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <string>

namespace {

enum : int {
    IDM_NEW = 101,
    IDM_OPEN,
    IDM_SAVE_AS,
    IDM_DISABLED,
    IDM_TRY,
    IDM_EXIT,
    IDM_ABOUT,
    IDC_TOOLBAR = 200,
    IDC_STATUS,
    IDC_NAME,
    IDC_SWATCH,
    IDC_COLOUR,
    IDC_DAYS,
    IDC_DATE,
    IDC_NUMBER,
    IDC_SPIN,
    IDC_HOLIDAYS,
    IDC_SHADE,
    IDT_NEW = 301,
    IDT_OPEN,
    IDT_SAVE,
    IDT_CUT,
    IDT_HELP,
};

constexpr COLORREF kSwatchColour = RGB(0x12, 0x9A, 0x5C);
const wchar_t kMainClass[] = L"VelmoraDriverTarget";
const wchar_t kSwatchClass[] = L"VelmoraDriverSwatch";

HWND mainWindow, toolbar, statusBar, nameField, swatch;
HWND colour, shade, days, date, number, spin, holidays;

void Status(const std::wstring& text, int part = 0) {
    SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring NameText() {
    const int length = GetWindowTextLengthW(nameField);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(nameField, text.data(), length + 1)));
    return text;
}

void OpenFile() {
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = mainWindow;
    ofn.lpstrFilter = L"File di testo (*.txt)\0*.txt\0Tutti i file (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Apri";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&ofn)) Status(path);
    else Status(L"Apertura annullata");
}

// Writes the name field, as UTF-8, to the chosen file.
void SaveFileAs() {
    wchar_t path[MAX_PATH] = L"prova.txt";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = mainWindow;
    ofn.lpstrFilter = L"File di testo (*.txt)\0*.txt\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Salva con nome";
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&ofn)) {
        Status(L"Salvataggio annullato");
        return;
    }
    const std::wstring text = NameText();
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                            nullptr);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
                    written == utf8.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    Status(ok ? std::wstring(L"Salvato in ") + path : std::wstring(L"Errore di scrittura"));
}

HMENU BuildMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_NEW, L"&Nuovo");
    AppendMenuW(file, MF_STRING, IDM_OPEN, L"&Apri...");
    AppendMenuW(file, MF_STRING, IDM_SAVE_AS, L"&Salva con nome...");
    AppendMenuW(file, MF_STRING | MF_GRAYED, IDM_DISABLED, L"&Disattivata");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_TRY, L"&Prova");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_EXIT, L"&Esci");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, IDM_ABOUT, L"&Informazioni");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&?");
    return bar;
}

void BuildToolbar(HWND parent) {
    toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)), nullptr, nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageW(toolbar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard));
    TBBUTTON buttons[] = {
        {STD_FILENEW, IDT_NEW, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {STD_FILEOPEN, IDT_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {STD_FILESAVE, IDT_SAVE, 0, BTNS_BUTTON, {}, 0, 0},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {STD_CUT, IDT_CUT, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, 0},
        {STD_HELP, IDT_HELP, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    SendMessageW(toolbar, TB_ADDBUTTONSW, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

const wchar_t* TooltipOf(UINT_PTR command) {
    switch (command) {
    case IDT_NEW: return L"Nuovo progetto";
    case IDT_OPEN: return L"Apri un file";
    case IDT_SAVE: return L"Salva";
    case IDT_CUT: return L"Taglia";
    case IDT_HELP: return L"Guida";
    default: return nullptr;
    }
}

void Layout(HWND window) {
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    SendMessageW(statusBar, WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(window, &client);
    int parts[] = {client.right * 2 / 3, -1};
    SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    RECT bar;
    GetWindowRect(toolbar, &bar);
    const int top = bar.bottom - bar.top + 10;
    MoveWindow(nameField, 10, top, 300, 24, TRUE);
    MoveWindow(swatch, 10, top + 40, 200, 120, TRUE);
    MoveWindow(colour, 350, top, 150, 200, TRUE);
    MoveWindow(shade, 520, top, 150, 200, TRUE);
    MoveWindow(days, 350, top + 40, 150, 80, TRUE);
    MoveWindow(date, 520, top + 40, 150, 24, TRUE);
    MoveWindow(number, 520, top + 75, 60, 24, TRUE);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(number), 0);
    MoveWindow(holidays, 350, top + 130, 150, 20, TRUE);
}

HWND Control(const wchar_t* cls, const wchar_t* text, DWORD style, int id, DWORD exStyle = 0) {
    HWND control = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, mainWindow,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

// The choice controls, in tab order after the name field.
void BuildChoices() {
    colour = Control(WC_COMBOBOXW, nullptr, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_COLOUR);
    for (const wchar_t* item : {L"Rosso", L"Verde", L"Blu"})
        SendMessageW(colour, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(colour, CB_SETCURSEL, 0, 0);

    shade = Control(WC_COMBOBOXEXW, nullptr, WS_TABSTOP | CBS_DROPDOWNLIST, IDC_SHADE);
    int index = 0;
    for (const wchar_t* item : {L"Giallo", L"Viola"}) {
        COMBOBOXEXITEMW entry{};
        entry.mask = CBEIF_TEXT;
        entry.iItem = index++;
        entry.pszText = const_cast<wchar_t*>(item);
        SendMessageW(shade, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    }
    SendMessageW(shade, CB_SETCURSEL, 1, 0);

    days = Control(WC_LISTBOXW, nullptr, WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, IDC_DAYS);
    for (const wchar_t* item : {L"01/01/2024", L"25/04/2024", L"15/08/2024"})
        SendMessageW(days, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));

    date = Control(DATETIMEPICK_CLASSW, nullptr, WS_TABSTOP | DTS_SHORTDATEFORMAT, IDC_DATE);
    SYSTEMTIME day{};
    day.wYear = 2024;
    day.wMonth = 3;
    day.wDay = 15;
    day.wDayOfWeek = 5;
    SendMessageW(date, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));

    number = Control(L"Edit", L"", WS_TABSTOP | ES_NUMBER, IDC_NUMBER, WS_EX_CLIENTEDGE);
    spin = Control(UPDOWN_CLASSW, nullptr, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, IDC_SPIN);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(number), 0);
    SendMessageW(spin, UDM_SETRANGE32, 1, 10);
    SendMessageW(spin, UDM_SETPOS32, 0, 3);

    holidays = Control(L"Button", L"Festi&vi", WS_TABSTOP | BS_AUTOCHECKBOX, IDC_HOLIDAYS);
}

LRESULT CALLBACK SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HBRUSH brush = CreateSolidBrush(kSwatchColour);
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        Status((message == WM_LBUTTONDOWN ? L"Sinistro " : L"Destro ") + std::to_wstring(x) + L"," + std::to_wstring(y),
               1);
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        mainWindow = window;
        BuildToolbar(window);
        statusBar =
            CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS)), nullptr, nullptr);
        nameField =
            CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                            0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_NAME)), nullptr, nullptr);
        SendMessageW(nameField, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        swatch = CreateWindowExW(0, kSwatchClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SWATCH)), nullptr, nullptr);
        BuildChoices();
        return 0;
    case WM_SIZE: Layout(window); return 0;
    case WM_SETFOCUS: SetFocus(nameField); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_NEW: Status(L"Nuovo scelto"); break;
        case IDM_OPEN: OpenFile(); break;
        case IDM_SAVE_AS: SaveFileAs(); break;
        case IDM_DISABLED: Status(L"Voce disattivata scelta"); break;
        case IDM_TRY: Status(L"Prova scelta"); break;
        case IDM_EXIT: SendMessageW(window, WM_CLOSE, 0, 0); break;
        case IDM_ABOUT: Status(L"Informazioni scelte"); break;
        case IDT_NEW:
        case IDT_OPEN:
        case IDT_SAVE:
        case IDT_CUT:
        case IDT_HELP: Status(L"Comando " + std::to_wstring(LOWORD(wParam))); break;
        case IDC_COLOUR:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                wchar_t text[64] = L"";
                const LRESULT index = SendMessageW(colour, CB_GETCURSEL, 0, 0);
                if (index >= 0 && SendMessageW(colour, CB_GETLBTEXTLEN, index, 0) < 64)
                    SendMessageW(colour, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
                Status(std::wstring(L"Colore ") + text);
            }
            break;
        case IDC_DAYS:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                Status(L"Giorno " + std::to_wstring(SendMessageW(days, LB_GETCURSEL, 0, 0)));
            break;
        case IDC_HOLIDAYS:
            Status(SendMessageW(holidays, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"Festivi sì" : L"Festivi no");
            break;
        default: break;
        }
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (const wchar_t* text = TooltipOf(header->idFrom)) info->lpszText = const_cast<wchar_t*>(text);
        }
        return 0;
    }
    case WM_CLOSE:
        if (MessageBoxW(window, L"Vuoi realmente uscire?", L"Uscita", MB_YESNO | MB_ICONQUESTION) == IDYES)
            DestroyWindow(window);
        else Status(L"Uscita annullata");
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_UPDOWN_CLASS | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW swatchClass{};
    swatchClass.cbSize = sizeof swatchClass;
    swatchClass.lpfnWndProc = SwatchProc;
    swatchClass.hInstance = instance;
    swatchClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    swatchClass.lpszClassName = kSwatchClass;
    WNDCLASSEXW mainClass{};
    mainClass.cbSize = sizeof mainClass;
    mainClass.lpfnWndProc = MainProc;
    mainClass.hInstance = instance;
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    mainClass.lpszClassName = kMainClass;
    if (!RegisterClassExW(&swatchClass) || !RegisterClassExW(&mainClass)) return 2;

    HWND window = CreateWindowExW(0, kMainClass, L"Bersaglio del driver", WS_OVERLAPPEDWINDOW, 100, 80, 720, 480,
                                  nullptr, BuildMenu(), instance, nullptr);
    if (!window) return 3;
    ShowWindow(window, show);
    UpdateWindow(window);
    Status(L"Pronto");  // laid out and shown: the driver may start

    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 4;
        // Tab moves between the controls (the rest of the keys go to them as usual).
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
