#include "toolkit/widgets/FormAbout.h"

#include <algorithm>

#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TextBox.h"

namespace QVUtility {

namespace {

constexpr int BoxWidth = 600;
constexpr int BoxHeight = 300;
constexpr int OkWidth = 80;

void AboutCreated(GUIElement* element, HWND) {
    if (auto* about = dynamic_cast<FormAbout*>(element)) about->BuildControls();
}

bool AboutClosing(GUIElement* element) {
    if (auto* about = dynamic_cast<FormAbout*>(element)) {
        about->UnregisterHotkeys();
        about->EndModal();
    }
    return true;
}

bool ElementChar(GUIElement* element, int character) {
    FormAbout* about = OwningElement<FormAbout>(element);
    return about == nullptr || about->OnKey(character);
}

int LinkPressed(GUIElement* element, HWND, int, int) {
    if (FormAbout* about = OwningElement<FormAbout>(element)) about->OpenLink(element);
    return 0;
}

void OkPressed(GUIElement* element) {
    if (FormAbout* about = OwningElement<FormAbout>(element)) about->CloseBox();
}

// Width of a link's text in the link font.
int LinkTextWidth(FontDescription& linkFont, const std::wstring& linkText) {
    ScreenContext screen;
    if (!screen) return 0;
    ScopedSelect fontIn(screen.Get(), linkFont.GetFont());
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), linkText.c_str(), static_cast<int>(linkText.size()), &size);
    return size.cx;
}

}  // namespace

FormAbout::FormAbout(Form* ownerForm)
    : Form(ownerForm != nullptr ? ownerForm->instance : GetModuleHandleW(nullptr), true), owner(ownerForm) {
    titleFont.bold = true;
    linkFont.underline = true;
    if (owner != nullptr) scale = owner->scale;
    ScaleFonts();
    font = &ownFont;
    text = L"Info...";
    width = scale(BoxWidth);
    height = scale(BoxHeight);
    modalFrame = true;
    minimizeBox = false;
    maximizeBox = false;
    topmostDialog = false;
    CentreOnScreen();
    onCreate = &AboutCreated;
    onClose = &AboutClosing;
    onChar = &ElementChar;
    BeginModal(owner);
}

FormAbout::~FormAbout() {
    DestroyQuietly();
    ReleaseChildren();
}

void FormAbout::Create() {
    if (created) return;
    Form::Create();
    // The box belongs to its owner's window: it stays in front of it, and an
    // attempt to activate the disabled owner activates the box.
    if (window != nullptr && owner != nullptr && owner->window != nullptr)
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner->window));
    OnShow();
    // After the window was activated, which takes the focus for itself.
    if (okButton != nullptr) okButton->Focus();
}

void FormAbout::OnShow() {
    if (created) SetClientSize(scale(BoxWidth), scale(BoxHeight));
}

void FormAbout::ScaleFonts() {
    for (FontDescription* each : {&titleFont, &linkFont, &ownFont}) each->SetDpi(scale.Dpi());
}

void FormAbout::OnDpiChanged(DisplayScale newScale, const RECT& suggested) {
    Form::OnDpiChanged(newScale, suggested);
    ScaleFonts();
    ReleaseChildren();
    BuildControls();
    OnShow();
    if (okButton != nullptr) okButton->Focus();
}

void FormAbout::BuildControls() {
    // Laid out at 96 DPI, placed through the scale.
    const SIZE client = BaseClientSize();
    const int w = client.cx;
    const int h = client.cy;
    const int p = pictureWidth + 20;
    const int left = p + 25;
    const int textWidth = w - p - 35;
    const DisplayScale& s = scale;

    pictureFrame = ownedElements.Add(new PanelChildren(this));
    pictureFrame->x = s(10);
    pictureFrame->y = s(10);
    pictureFrame->width = s(p);
    pictureFrame->height = s(h - 20);
    pictureFrame->border = true;
    pictureFrame->onChar = &ElementChar;
    pictureFrame->Create();

    // On a dense screen the large picture, drawn down to the box.
    const bool large = largePictureId != 0 && !s.IsBase();
    picture = ownedElements.Add(new Image(pictureFrame, large ? largePictureId : pictureId));
    picture->x = s(5);
    picture->y = s(5);
    picture->width = s(pictureWidth);
    picture->height = s(pictureHeight);
    picture->fitToSize = large;
    picture->onChar = &ElementChar;
    picture->Create();

    titleLabel = ownedElements.Add(new Label(this, titleText));
    titleLabel->x = s(left);
    titleLabel->y = s(10);
    titleLabel->width = s(textWidth);
    titleLabel->height = s(25);
    titleLabel->font = &titleFont;
    titleLabel->onChar = &ElementChar;
    titleLabel->Create();

    secondLabel = ownedElements.Add(new Label(this, secondText));
    secondLabel->x = s(left);
    secondLabel->y = s(35);
    secondLabel->width = s(textWidth);
    secondLabel->height = s(25);
    secondLabel->font = font;
    secondLabel->onChar = &ElementChar;
    secondLabel->Create();

    // The links' widths follow their texts as the 96-DPI font draws them, so
    // that the box keeps its proportions on every screen.
    FontDescription baseLinkFont(linkFont);
    baseLinkFont.SetDpi(DisplayScale::BaseDpi);
    CellControl** links[] = {&webLink, &mailLink};
    const std::string linkTexts[] = {webAddress, MailAddressOf(webAddress)};
    int linkLeft = left;
    for (int i = 0; i < 2; ++i) {
        auto* link = ownedElements.Add(new CellControl(this));
        link->SetTextNarrow(linkTexts[i]);
        link->x = s(linkLeft);
        link->y = s(55);
        // 150 pixels, or what a longer address needs to show whole.
        const int linkWidth = std::max(150, LinkTextWidth(baseLinkFont, link->text) + 4);
        link->width = s(linkWidth);
        linkLeft += linkWidth + 10;
        link->height = s(22);
        link->font = &linkFont;
        link->textColour = RGB(0, 0, 255);
        link->textAlign = 0;
        link->SetHandCursor(true);
        link->onLeftButtonDown = &LinkPressed;
        link->onChar = &ElementChar;
        link->Create();
        *links[i] = link;
    }

    bodyBox = ownedElements.Add(new TextBox(this, bodyText));
    bodyBox->x = s(left);
    bodyBox->y = s(85);
    bodyBox->width = s(textWidth);
    bodyBox->height = s(h - 145);
    bodyBox->multiLine = 1;
    bodyBox->readOnly = 1;
    bodyBox->verticalBar = 1;
    bodyBox->wordWrap = 0;
    bodyBox->onChar = &ElementChar;
    bodyBox->Create();

    okButton = ownedElements.Add(new Button(this, "OK"));
    okButton->x = s(left + textWidth / 2 - OkWidth / 2);
    okButton->y = s(h - 50);
    okButton->width = s(OkWidth);
    okButton->height = s(25);
    okButton->onCommand = &OkPressed;
    okButton->onChar = &ElementChar;
    okButton->Create();
    for (GUIElement* control : {static_cast<GUIElement*>(bodyBox), static_cast<GUIElement*>(okButton)})
        ScaleDefaultFont(control);
}

void FormAbout::ReleaseChildren() {
    ownedElements.Clear();
    picture = nullptr;
    pictureFrame = nullptr;
    titleLabel = nullptr;
    secondLabel = nullptr;
    webLink = nullptr;
    mailLink = nullptr;
    bodyBox = nullptr;
    okButton = nullptr;
}

bool FormAbout::OnKey(int character) {
    if (character == VK_RETURN || character == VK_ESCAPE) {
        CloseBox();
        return false;
    }
    return true;
}

void FormAbout::CloseBox() {
    if (created && !destroyed && window != nullptr && IsWindow(window)) SendMessageW(window, WM_CLOSE, 0, 0);
}

void FormAbout::OpenLink(GUIElement* link) {
    if (link == nullptr) return;
    if (link == webLink) ShellOpen(webAddress);
    else if (link == mailLink) ShellOpen("mailto:" + link->GetTextNarrow());
}

std::string FormAbout::MailAddressOf(const std::string& address) {
    static const std::string web = "http://www.";
    static const std::string mail = "info@";
    std::string result = address;
    for (size_t at = result.find(web); at != std::string::npos; at = result.find(web))
        result.replace(at, web.size(), mail);
    return result;
}

}  // namespace QVUtility
