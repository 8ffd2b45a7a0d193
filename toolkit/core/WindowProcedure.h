// The one window procedure of the toolkit: class procedure of every form and
// panel window class, and installed on every native control a child element
// creates (subclassing). It finds the element of the window, turns the
// message into a virtual operation or handler call, then hands the message
// on to the control's own procedure or to DefWindowProcW.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace QVUtility {

class GUIElement;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Default processing: the element's previous (native) procedure when it has
// one, DefWindowProcW otherwise.
LRESULT DefaultProcessing(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the bar of `target` from `old` to `requested` (the platform clamps it),
// scrolls the window content by the distance really moved and tells the panel
// the requested distance; the part uncovered is painted after the panel has
// had its say, so that content it places there is painted once.
void ScrollPanel(GUIElement* panel, HWND target, int bar, int old, int requested);

// The buffer that answers a toolbar tooltip's text request (2024 characters).
constexpr int TooltipBufferLength = 2024;

}  // namespace QVUtility
