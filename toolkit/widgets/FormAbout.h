// FormAbout: the toolkit's about box. A modal window with a picture, a title
// line, a second line, two links (a web page and a mail address made from
// it) and a read-only text. It knows nothing of the program that opens it:
// the opener sets the picture and the texts before it creates the window.
//
// Opening: construct it (the owner is disabled at once), set the fields,
// Create, show. Closing ("OK", Enter, Escape or the close box) gives the
// owner back; the object stays until the opener deletes it.
#pragma once

#include <string>

#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"
#include "toolkit/draw/FontDescription.h"

namespace QVUtility {

class Button;
class CellControl;
class Image;
class Label;
class PanelChildren;
class TextBox;

class FormAbout : public Form {
public:
    explicit FormAbout(Form* ownerForm);
    ~FormAbout() override;

    Form* owner = nullptr;                    // disabled while the box is open
    FontDescription titleFont{L"Arial", 16};  // bold
    FontDescription linkFont{L"Arial", 16};   // underlined
    Image* picture = nullptr;
    Label* titleLabel = nullptr;
    Label* secondLabel = nullptr;
    PanelChildren* pictureFrame = nullptr;
    TextBox* bodyBox = nullptr;
    Button* okButton = nullptr;
    CellControl* webLink = nullptr;
    CellControl* mailLink = nullptr;
    int pictureId = 0;     // bitmap resource of the program
    int pictureWidth = 0;  // size at which the picture is shown
    int pictureHeight = 0;
    int largePictureId = 0;  // the picture drawn twice as large, for dense screens; 0 = none
    std::string titleText;   // narrow texts, system code page
    std::string secondText;
    std::string bodyText;
    std::string webAddress;

    // Makes the window (the controls are built with it) at 600 x 300.
    void Create() override;
    // Back to a client area of 600 x 300 whenever the box is shown.
    void OnShow() override;
    // Deletes the elements the box made.
    void ReleaseChildren() override;
    // A new screen density: the box takes its new size and builds its
    // controls again.
    void OnDpiChanged(DisplayScale newScale, const RECT& suggested) override;

    // Builds the controls from the client size; runs while the window is made.
    void BuildControls();
    // A character typed in the box or in one of its elements: Enter and
    // Escape act as "OK". Answers whether the character may go on.
    bool OnKey(int character);
    // Closes the box, as its "OK" button does.
    void CloseBox();
    // The link owner clicked one of the links.
    void OpenLink(GUIElement* link);

    // The mail address shown by the second link: the web address with every
    // "http://www." made "info@".
    static std::string MailAddressOf(const std::string& address);

private:
    FontDescription ownFont{L"Arial", 14};
    OwnedElements ownedElements;  // the box's elements; the pointers above are for access
    void ScaleFonts();
};

}  // namespace QVUtility
