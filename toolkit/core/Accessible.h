// What assistive technology (a screen reader, a magnifier, a braille
// display) is told about the elements: each element describes itself
// (GUIElement::DescribeForAccessibility) and its window answers WM_GETOBJECT
// with an IAccessible object that tells that description: its name, role,
// state, value and description. What the element does not describe (its
// place, its parent and children, its keyboard shortcut, its default action
// when it has none of its own) comes from the platform's own object for the
// window, so a native control keeps everything the platform knows of it.
//
// An element may also have parts without windows of their own (a toolbar's
// buttons): they are the object's children, numbered from 1.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace QVUtility {

class GUIElement;

// What one element, or one part of it, is for assistive technology.
struct AccessibleFacts {
    std::wstring name;         // what a person would call it: "Descrizione", "OK"
    std::wstring description;  // more about it, read after the name
    std::wstring value;        // what it holds (a field's text), with hasValue
    bool hasValue = false;
    long role = 0;        // ROLE_SYSTEM_*; 0: the platform's own
    long state = 0;       // STATE_SYSTEM_* flags
    std::wstring action;  // the default action's name; empty: the platform's
};

// The caption as a person says it: without the mnemonic's "&" ("&&" is one
// "&"), the tab and what follows it, and without a closing ":" and the
// spaces around the text ("&Descrizione:" is "Descrizione").
std::wstring SpokenCaption(const std::wstring& caption);

// The states any window has: unavailable (disabled, or inside a disabled
// window), invisible, focusable (a tab stop) and focused.
long WindowStates(HWND window);

// Answers WM_GETOBJECT for `element`'s window `window`: the element's
// object for OBJID_CLIENT; `answered` false for anything else (the platform
// then answers).
LRESULT AnswerAccessibleObject(GUIElement* element, HWND window, WPARAM wParam, LPARAM lParam, bool& answered);

// Tells assistive technology that something happened to the window's
// object (EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, EVENT_OBJECT_NAMECHANGE
// ...); nothing without a window.
void RaiseAccessibleEvent(DWORD event, HWND window, LONG child = CHILDID_SELF);

}  // namespace QVUtility
