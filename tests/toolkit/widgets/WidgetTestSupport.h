// Helpers of the widget tests: running the message queue, font heights, one
// form for a whole test suite, and elements owned by a test and destroyed
// after it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/GUIElement.h"
#include "toolkit/draw/FontDescription.h"

namespace widgettest {

// The queue is run as the other toolkit tests run it.
using ToolkitTest::Pump;
using ToolkitTest::PumpUntil;

// The cell height of a font, as the screen measures it.
inline int FontHeight(const std::string& face, int size) {
    QVUtility::FontDescription description(face, size);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, description.GetFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

// A shown form for a whole test suite: making and closing top-level windows
// is slow without a window manager.
inline QVUtility::Form* OpenForm(const wchar_t* title, int x, int y, int width, int height) {
    auto* form = new QVUtility::Form(GetModuleHandleW(nullptr));
    form->text = title;
    form->x = x;
    form->y = y;
    form->width = width;
    form->height = height;
    form->Create();
    Pump(100);
    return form;
}

// Elements made by one test, destroyed with their windows after it, last first.
class OwningTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            HWND window = (*it)->window;
            delete *it;
            if (window != nullptr && IsWindow(window)) DestroyWindow(window);
        }
        made.clear();
        Pump(10);
    }
    template <typename T>
    T* Own(T* element) {
        made.push_back(element);
        return element;
    }

    std::vector<QVUtility::GUIElement*> made;
};

}  // namespace widgettest
