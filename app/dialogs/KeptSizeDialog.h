// KeptSizeDialog: a dialog the user can resize and maximise, whose size is
// kept in the user's settings for the next time it opens. It opens at the
// kept size (never smaller than its first size, never larger than the
// screen), maximised when it was closed maximised, and lays its controls
// out again whenever its size or the screen's density changes.
#pragma once

#include <string>

#include "app/dialogs/DialogFrame.h"

namespace MyApp {

// The names of the three settings that keep a dialog's size: its client
// width and height at 96 DPI when last neither maximised nor minimised, and
// whether it was maximised.
struct KeptSizeNames {
    const wchar_t* width;
    const wchar_t* height;
    const wchar_t* maximized;
};

class KeptSizeDialog : public DialogFrame {
public:
    // `smallest` is the size the dialog first opens at, and the smallest it
    // can be given (96 DPI).
    KeptSizeDialog(QVUtility::Form* owner, const std::wstring& title, SIZE smallest, const KeptSizeNames& names);

    // Places the controls in the client area as it is now.
    virtual void Layout() {}
    void OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) override;
    void ReleaseOwner() override;

protected:
    // Makes the window as OpenWindow does, maximised when it was kept so,
    // and lays the controls out: the last step of a dialog's constructor.
    void OpenAtKeptSize();
    // The client size to lay the controls out in (96 DPI), no smaller than
    // the smallest; false while there is nothing to lay out (no window,
    // minimised). Notes the size to keep.
    bool LayoutSize(SIZE& size);
    // Gives an element its place and size (96 DPI) at once.
    void Put(QVUtility::GUIElement* element, int left, int top, int width, int height);

private:
    SIZE smallest_;
    KeptSizeNames names_;
    SIZE normalSize_{0, 0};  // the client size (96 DPI) when last neither maximised nor minimised
};

}  // namespace MyApp
