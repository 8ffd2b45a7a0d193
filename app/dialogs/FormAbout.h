// FormAbout: the about box. A modal window with a picture, a title line, a
// second line, two links (a web page and a mail address made from it) and a
// read-only text, built on the program's dialog frame. It knows nothing of
// the program's data: the opener sets the picture and the texts before it
// creates the window.
//
// Opening: construct it, set the fields, Create (the owner is disabled
// then), show. Closing ("OK", Enter, Escape or the close box) gives the
// owner back; the object stays until the opener deletes it.
#pragma once

#include <string>

#include "app/dialogs/DialogFrame.h"
#include "toolkit/draw/FontDescription.h"

namespace QVUtility {
class CellControl;
class Image;
class Label;
class PanelChildren;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class FormAbout : public DialogFrame {
public:
    explicit FormAbout(QVUtility::Form* ownerForm);
    ~FormAbout() override;

    QVUtility::FontDescription titleFont{L"Arial", 16};  // bold
    QVUtility::FontDescription linkFont{L"Arial", 16};   // underlined
    QVUtility::Image* picture = nullptr;
    QVUtility::Label* titleLabel = nullptr;
    QVUtility::Label* secondLabel = nullptr;
    QVUtility::PanelChildren* pictureFrame = nullptr;
    QVUtility::TextBox* bodyBox = nullptr;
    QVUtility::CellControl* webLink = nullptr;
    QVUtility::CellControl* mailLink = nullptr;
    int pictureId = 0;     // bitmap resource of the program
    int pictureWidth = 0;  // size at which the picture is shown
    int pictureHeight = 0;
    int largePictureId = 0;  // the picture drawn twice as large, for dense screens; 0 = none
    std::string titleText;   // narrow texts, system code page
    std::string secondText;
    std::string bodyText;
    std::string webAddress;

    // Makes the window (the controls are built with it) at 600 x 300,
    // disables the owner and focuses "OK".
    void Create() override;
    void BuildControls() override;
    // The link owner clicked one of the links, or chose it by keyboard.
    void OpenLink(QVUtility::GUIElement* link);
    // Invio or the space bar on a link opens it; otherwise as any dialog.
    void OnFormKey(int key) override;

    // The mail address shown by the second link: the web address with every
    // "http://www." made "info@".
    static std::string MailAddressOf(const std::string& address);

protected:
    // A new screen density: the frame lays the box out again; the picture
    // is the one drawn for the new screen.
    void OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) override;

private:
    // Whether the picture drawn twice as large is the one for this screen.
    bool LargePicture() const;
};

}  // namespace MyApp

namespace QVUtility {
// The about box was the toolkit's own before it was built on the program's
// dialog frame; the name it had still answers.
using MyApp::FormAbout;
}  // namespace QVUtility
