#include "app/dialogs/FormAbout.h"

#include <oleacc.h>

#include <algorithm>

#include "toolkit/draw/HighContrast.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int BoxWidth = 600;
constexpr int BoxHeight = 300;
constexpr int OkWidth = 80;

int LinkPressed(GUIElement* element, HWND, int, int) {
    if (FormAbout* about = QVUtility::OwningElement<FormAbout>(element)) about->OpenLink(element);
    return 0;
}

// Width of a link's text in the link font.
int LinkTextWidth(QVUtility::FontDescription& linkFont, const std::wstring& linkText) {
    QVUtility::ScreenContext screen;
    if (!screen) return 0;
    QVUtility::ScopedSelect fontIn(screen.Get(), linkFont.GetFont());
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), linkText.c_str(), static_cast<int>(linkText.size()), &size);
    return size.cx;
}

}  // namespace

FormAbout::FormAbout(QVUtility::Form* ownerForm)
    : DialogFrame(ownerForm, L"Info...", BoxWidth, BoxHeight, L"Arial", 14, false) {
    titleFont.bold = true;
    linkFont.underline = true;
    for (QVUtility::FontDescription* each : {&titleFont, &linkFont}) each->SetDpi(scale.Dpi());
    modalFrame = true;
    minimizeBox = false;
    centreOnScreen = true;
    programIcon = false;
}

FormAbout::~FormAbout() { CloseSilently(); }

void FormAbout::Create() {
    if (!created) OpenWindow();
}

bool FormAbout::LargePicture() const { return largePictureId != 0 && !scale.IsBase(); }

void FormAbout::BuildControls() {
    const int w = builtWidth;
    const int h = builtHeight;
    const int p = pictureWidth + 20;
    const int left = p + 25;
    const int textWidth = w - p - 35;

    pictureFrame = Own(new QVUtility::PanelChildren(this));
    Place(pictureFrame, 10, 10, p, h - 20);
    pictureFrame->border = true;
    pictureFrame->tabStop = false;
    pictureFrame->accessibleName = L"Logo";
    pictureFrame->accessibleRole = ROLE_SYSTEM_GROUPING;
    pictureFrame->Create();

    // On a dense screen the large picture, drawn down to the box.
    picture = Own(new QVUtility::Image(pictureFrame, LargePicture() ? largePictureId : pictureId));
    Place(picture, 5, 5, pictureWidth, pictureHeight);
    picture->fitToSize = LargePicture();
    picture->accessibleName = L"Logo del programma";
    picture->Create();

    titleLabel = MakeLabel(QVUtility::Widen(titleText), left, 10, textWidth, 25, &titleFont);
    // Down to the links and no further.
    secondLabel = MakeLabel(QVUtility::Widen(secondText), left, 35, textWidth, 20, font);

    // The links' widths follow their texts as the 96-DPI font draws them, so
    // that the box keeps its proportions on every screen.
    QVUtility::FontDescription baseLinkFont(linkFont);
    baseLinkFont.SetDpi(QVUtility::DisplayScale::BaseDpi);
    QVUtility::CellControl** links[] = {&webLink, &mailLink};
    const std::string linkTexts[] = {webAddress, MailAddressOf(webAddress)};
    int linkLeft = left;
    for (int i = 0; i < 2; ++i) {
        auto* link = Own(new QVUtility::CellControl(this));
        link->SetTextNarrow(linkTexts[i]);
        // 150 pixels, or what a longer address needs to show whole.
        const int linkWidth = std::max(150, LinkTextWidth(baseLinkFont, link->text) + 4);
        Place(link, linkLeft, 55, linkWidth, 22);
        linkLeft += linkWidth + 10;
        link->font = &linkFont;
        // Blue as links are, the system's colour of links in high contrast.
        link->textColour = QVUtility::HighContrastOn() ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255);
        link->textAlign = 0;
        link->SetHandCursor(true);
        link->onLeftButtonDown = &LinkPressed;
        // Reached by Tab too, and opened with Invio or the space bar.
        link->tabStop = true;
        link->accessibleRole = ROLE_SYSTEM_LINK;
        link->accessibleDescription = i == 0 ? L"Sito web" : L"Posta elettronica";
        link->Create();
        *links[i] = link;
    }

    bodyBox = Own(new QVUtility::TextBox(this, bodyText));
    Place(bodyBox, left, 85, textWidth, h - 145);
    bodyBox->multiLine = 1;
    bodyBox->readOnly = 1;
    bodyBox->verticalBar = 1;
    // Lines wrap rather than run past the box on a screen whose font is wider.
    bodyBox->wordWrap = 1;
    bodyBox->accessibleName = L"Informazioni";
    bodyBox->Create();

    okButton = MakeButton(L"OK", left + textWidth / 2 - OkWidth / 2, h - 50, OkWidth, 25);
    firstField = okButton;
}

void FormAbout::OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) {
    DialogFrame::OnDpiChanged(newScale, suggested);
    if (picture == nullptr) return;
    picture->fitToSize = LargePicture();
    picture->SetImageResource(LargePicture() ? largePictureId : pictureId);
}

void FormAbout::OnFormKey(int key) {
    // Invio or the space bar on a link opens it; elsewhere Invio is "OK".
    const HWND focus = GetFocus();
    for (QVUtility::CellControl* link : {webLink, mailLink}) {
        if (link != nullptr && link->window != nullptr && link->window == focus && (key == VK_RETURN || key == L' ')) {
            OpenLink(link);
            return;
        }
    }
    DialogFrame::OnFormKey(key);
}

void FormAbout::OpenLink(GUIElement* link) {
    if (link == nullptr) return;
    if (link == webLink) QVUtility::ShellOpen(webAddress);
    else if (link == mailLink) QVUtility::ShellOpen("mailto:" + link->GetTextNarrow());
}

std::string FormAbout::MailAddressOf(const std::string& address) {
    static const std::string web = "http://www.";
    static const std::string mail = "info@";
    std::string result = address;
    for (size_t at = result.find(web); at != std::string::npos; at = result.find(web))
        result.replace(at, web.size(), mail);
    return result;
}

}  // namespace MyApp
