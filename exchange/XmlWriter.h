// Writing XML text: elements indented by their depth, texts escaped. The
// text given is UTF-8; characters that XML 1.0 cannot hold (the control
// characters other than tab and line feed) are left out, and a carriage
// return is written as a reference so that a reader gets it back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace MyApp {

class XmlWriter {
public:
    // Appends to `out`, which the caller may empty between calls (the
    // writer keeps only the open elements).
    explicit XmlWriter(std::string& out) : out_(&out) {}
    // Appends to `out` from now on.
    void WriteTo(std::string& out) { out_ = &out; }

    // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>
    void Declaration();
    // A start tag on a line of its own; `attributes` is written as given
    // (names and values already escaped).
    void Open(std::string_view name, std::string_view attributes = std::string_view());
    void Close();
    // <name>text</name> on one line.
    void Element(std::string_view name, std::string_view text);
    void Element(std::string_view name, long long number);

    // The text with &, <, > and " escaped, and what XML cannot hold left out.
    static void AppendEscaped(std::string& out, std::string_view text);

private:
    void Indent();
    std::string* out_;
    std::vector<std::string> open_;
};

}  // namespace MyApp
