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
    font = &ownFont;
    text = L"Info...";
    width = BoxWidth;
    height = BoxHeight;
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
    if (created) SetClientSize(BoxWidth, BoxHeight);
}

void FormAbout::BuildControls() {
    RECT client{};
    GetClientRect(window, &client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    const int p = pictureWidth + 20;
    const int left = p + 25;
    const int textWidth = w - p - 35;

    pictureFrame = ownedElements.Add(new PanelChildren(this));
    pictureFrame->x = 10;
    pictureFrame->y = 10;
    pictureFrame->width = p;
    pictureFrame->height = h - 20;
    pictureFrame->border = true;
    pictureFrame->onChar = &ElementChar;
    pictureFrame->Create();

    picture = ownedElements.Add(new Image(pictureFrame, pictureId));
    picture->x = 5;
    picture->y = 5;
    picture->width = pictureWidth;
    picture->height = pictureHeight;
    picture->onChar = &ElementChar;
    picture->Create();

    titleLabel = ownedElements.Add(new Label(this, titleText));
    titleLabel->x = left;
    titleLabel->y = 10;
    titleLabel->width = textWidth;
    titleLabel->height = 25;
    titleLabel->font = &titleFont;
    titleLabel->onChar = &ElementChar;
    titleLabel->Create();

    secondLabel = ownedElements.Add(new Label(this, secondText));
    secondLabel->x = left;
    secondLabel->y = 35;
    secondLabel->width = textWidth;
    secondLabel->height = 25;
    secondLabel->font = font;
    secondLabel->onChar = &ElementChar;
    secondLabel->Create();

    CellControl** links[] = {&webLink, &mailLink};
    const std::string linkTexts[] = {webAddress, MailAddressOf(webAddress)};
    int linkLeft = left;
    for (int i = 0; i < 2; ++i) {
        auto* link = ownedElements.Add(new CellControl(this));
        link->SetTextNarrow(linkTexts[i]);
        link->x = linkLeft;
        link->y = 55;
        // 150 pixels, or what a longer address needs to show whole.
        link->width = std::max(150, LinkTextWidth(linkFont, link->text) + 4);
        linkLeft += link->width + 10;
        link->height = 22;
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
    bodyBox->x = left;
    bodyBox->y = 85;
    bodyBox->width = textWidth;
    bodyBox->height = h - 145;
    bodyBox->multiLine = 1;
    bodyBox->readOnly = 1;
    bodyBox->verticalBar = 1;
    bodyBox->wordWrap = 0;
    bodyBox->onChar = &ElementChar;
    bodyBox->Create();

    okButton = ownedElements.Add(new Button(this, "OK"));
    okButton->x = left + textWidth / 2 - OkWidth / 2;
    okButton->y = h - 50;
    okButton->width = OkWidth;
    okButton->height = 25;
    okButton->onCommand = &OkPressed;
    okButton->onChar = &ElementChar;
    okButton->Create();
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
