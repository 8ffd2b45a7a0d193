// Shared by the exchange tests: random projects with awkward texts, and the
// XML of a document as a small tree read with the program's own reader.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/XmlReader.h"
#include "model/Project.h"
#include "tests/model/TestDates.h"

namespace ExchangeTests {

// Descriptions that quoting, escaping and the code page must carry whole:
// separators, quotes, markup, accented letters and the euro sign of
// Windows-1252.
inline const char* const AwkwardTexts[] = {
    "Ponteggio", "Muri; piano \"terra\"", "Scavo, fondazioni", "<Tetto> & \"gronde\"", "Citt\xE0 alta",
    "Costo \x80 100", "'apici' e ;;", "  spazi  ", "Tab\tinterno", "]]> fine",
};

// A project of `tasks` random tasks over about two years, with random day
// lists and weekdays, costs of every size and a few empty spans.
inline MyApp::Project RandomProject(std::mt19937& random, int tasks) {
    using TestDates::D;
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    MyApp::Project p;
    const int year = pick(1990, 2090);
    p.description = AwkwardTexts[pick(0, 9)];
    p.start = D(pick(1, 28), pick(1, 6), year);
    p.end = D(pick(1, 28), pick(7, 12), year + 1);
    for (int& flag : p.workingWeekdays) flag = pick(0, 3) != 0;
    const int span = static_cast<int>(MyApp::DaysUntil(p.start, p.end));
    const auto day = [&](int from, int to) {
        MyApp::Date d = p.start;
        for (int i = pick(from, to); i > 0; --i) d = MyApp::AddOneDay(d);
        return d;
    };
    for (int i = 0; i < tasks; ++i) {
        MyApp::Task t;
        t.description = std::string(AwkwardTexts[pick(0, 9)]) + " " + std::to_string(i);
        const int first = pick(0, span);
        t.start = day(first, first);
        t.end = day(first, std::min(span, first + pick(0, 90)));
        t.colour = MyApp::BarColours[0].colour;
        t.resources = pick(0, 3) == 0 ? 0 : pick(1, 40);
        const double costs[] = {150.5, 0.1, 1234567.89, 0, 99.99, 1e12 / 7, 3, 0.015};
        t.dailyCost = costs[pick(0, 7)];
        p.tasks.push_back(t);
    }
    for (int i = pick(0, 30); i > 0; --i) p.includeDays.push_back(day(0, span));
    for (int i = pick(0, 30); i > 0; --i) p.excludeDays.push_back(day(0, span));
    return p;
}

// A day as the XML and the ODF formats write it: "2027-03-01".
inline std::string IsoDay(const MyApp::Date& d) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", d.value.wYear, d.value.wMonth, d.value.wDay);
    return text;
}

// An element with its text and the elements inside it.
struct XmlElement {
    std::string name, namespaceUri, text;
    std::vector<XmlElement> children;

    // The first child of that name; an empty element when there is none.
    const XmlElement& operator[](std::string_view child) const {
        static const XmlElement none;
        for (const XmlElement& c : children)
            if (c.name == child) return c;
        return none;
    }
    std::vector<const XmlElement*> All(std::string_view child) const {
        std::vector<const XmlElement*> found;
        for (const XmlElement& c : children)
            if (c.name == child) found.push_back(&c);
        return found;
    }
};

// The document's root, read with the program's reader; `ok` false when the
// reader refused it.
inline XmlElement ReadTree(std::string_view bytes, bool& ok) {
    XmlElement root;
    std::vector<XmlElement*> open;
    const MyApp::XmlResult result = MyApp::ReadXmlBytes(bytes, [&](const MyApp::XmlNode& node) {
        switch (node.kind) {
        case MyApp::XmlNodeKind::StartElement: {
            XmlElement* parent = open.empty() ? nullptr : open.back();
            XmlElement& element = parent == nullptr ? root : (parent->children.emplace_back(), parent->children.back());
            element.name = node.name;
            element.namespaceUri = node.namespaceUri;
            open.push_back(&element);
            break;
        }
        case MyApp::XmlNodeKind::EndElement:
            if (!open.empty()) open.pop_back();
            break;
        case MyApp::XmlNodeKind::Text:
            if (!open.empty()) open.back()->text += node.text;
            break;
        }
        return true;
    });
    ok = result == MyApp::XmlResult::Complete;
    return root;
}

}  // namespace ExchangeTests
