// A small sample project and a one-string form of every field a project file
// holds, shared by the model and file tests and the file fuzzer.
#pragma once

#include <string>

#include "model/Project.h"
#include "tests/model/TestDates.h"

namespace ModelTests {

// "Tetto": four working weeks in March 2024, one task on two workers at
// 150.5 a day, and one excluded day inside the task.
inline MyApp::Project Tetto() {
    using TestDates::D;
    MyApp::Project p;
    p.description = "Tetto";
    p.start = D(4, 3, 2024);
    p.end = D(29, 3, 2024);
    for (int i = 0; i < 5; ++i) p.workingWeekdays[i] = 1;
    MyApp::Task t;
    t.description = "Ponteggio";
    t.start = D(5, 3, 2024);
    t.end = D(8, 3, 2024);
    t.colour = MyApp::ColourRosso;
    t.resources = 2;
    t.dailyCost = 150.5;
    p.tasks.push_back(t);
    p.excludeDays.push_back(D(7, 3, 2024));
    return p;
}

// Every field the file holds, for comparing two projects; the daily costs
// only when asked (a save rounds them).
inline std::string Fields(const MyApp::Project& p, bool withCost) {
    using MyApp::FormatDate;
    std::string s = p.description + "|" + FormatDate(p.start) + "|" + FormatDate(p.end);
    for (int flag : p.workingWeekdays) s += "|" + std::to_string(flag);
    for (const MyApp::Task& t : p.tasks) {
        s += "\n" + t.description + "|" + FormatDate(t.start) + "|" + FormatDate(t.end) + "|" +
             std::to_string(t.colour) + "|" + std::to_string(t.resources);
        if (withCost) s += "|" + std::to_string(t.dailyCost);
    }
    for (const MyApp::Date& d : p.includeDays) s += "\nI" + FormatDate(d);
    for (const MyApp::Date& d : p.excludeDays) s += "\nE" + FormatDate(d);
    return s;
}

}  // namespace ModelTests
