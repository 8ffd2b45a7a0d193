// The program's one message loop.
#pragma once

namespace QVUtility {

class Form;

// Gets and dispatches messages until the quit message (or a GetMessageW
// failure). When form is given and in dialog mode, messages are first offered
// to IsDialogMessageW for that form; then its keyboard shortcuts have their
// say (Form::TranslateShortcut).
void RunMessageLoop(Form* form);

}  // namespace QVUtility
