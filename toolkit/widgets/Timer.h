// Timer: an invisible element that turns a window timer of its parent into
// calls of onTimer. A hidden child window reserves the identifier.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/Child.h"

namespace QVUtility {

class Timer;
using TimerHandler = void (*)(Timer* timer);

class Timer : public Child {
public:
    Timer(GUIElement* parent, int intervalMilliseconds);
    // A running timer is stopped first.
    ~Timer() override;

    std::string tag;
    std::uint8_t running = 0;
    int interval = 0;  // milliseconds
    TimerHandler onTimer = nullptr;

    void Create() override;
    // Creates the element when needed and starts the window timer.
    void Start();
    void Stop();
    void OnTimerTick() override;
};

}  // namespace QVUtility
