// The main window made inside the test process, on the driver's desktop,
// with the user's desktop settings forgotten before and after each test.
#pragma once

#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>

#include "app/main/FormMain.h"

namespace apptest {

class InProcessMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(drv::UseDesktop()) << drv::LastErrorUtf8();
        ForgetDesktopSettings();
        form = new MyApp::FormMain(GetModuleHandleW(nullptr), L"QV Velmora in prova");
        ASSERT_NE(form->window, nullptr);
    }

    // The window goes first: it lets go of its project's files.
    void TearDown() override {
        delete form;
        form = nullptr;
        // The main window's end posted the quit message; it must not end the
        // next test's message boxes.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
        ForgetDesktopSettings();
    }

    MyApp::FormMain* form = nullptr;
};

}  // namespace apptest
