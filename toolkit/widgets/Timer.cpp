#include "toolkit/widgets/Timer.h"
#include "toolkit/core/TypeKeywords.h"

namespace QVUtility {

Timer::Timer(GUIElement* parentElement, int intervalMilliseconds)
    : Child(parentElement, TypeKeyword::Timer, L"timer", 50, 22), interval(intervalMilliseconds) {}

Timer::~Timer() {
    if (running) Stop();
}

void Timer::Create() {
    if (created) return;
    DWORD style = WS_CHILD;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(L"static", style);
    SubclassWindow();
    created = true;
}

void Timer::Start() {
    Create();
    // Without the parent's window the platform would make a thread timer
    // under an identifier of its own, which nothing could stop.
    if (ParentWindow() == nullptr) return;
    SetTimer(ParentWindow(), static_cast<UINT_PTR>(controlId), static_cast<UINT>(interval), nullptr);
    running = 1;
}

void Timer::Stop() {
    KillTimer(ParentWindow(), static_cast<UINT_PTR>(controlId));
    running = 0;
}

void Timer::OnTimerTick() {
    if (onTimer != nullptr) onTimer(this);
}

}  // namespace QVUtility
