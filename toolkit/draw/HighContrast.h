// The user's high-contrast mode: the screen in a few colours of the user's
// choice (the system colours), text and lines against a plain background.
// Windows that draw in colours of their own take the system colours while
// it is on, and follow it when it is switched (WM_SYSCOLORCHANGE,
// WM_SETTINGCHANGE).
#pragma once

namespace QVUtility {

// Whether high contrast is on: as the platform reports it, or as the user's
// setting in the registry keeps it (the value Flags of the user's key
// "Control Panel\Accessibility\HighContrast"), for a platform that does not
// report it.
bool HighContrastOn();

}  // namespace QVUtility
