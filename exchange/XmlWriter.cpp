#include "exchange/XmlWriter.h"

namespace MyApp {

void XmlWriter::Declaration() { *out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"; }

void XmlWriter::Indent() { out_->append(open_.size() * 2, ' '); }

void XmlWriter::Open(std::string_view name, std::string_view attributes) {
    std::string& out = *out_;
    Indent();
    out += '<';
    out += name;
    if (!attributes.empty()) {
        out += ' ';
        out += attributes;
    }
    out += ">\r\n";
    open_.emplace_back(name);
}

void XmlWriter::Close() {
    if (open_.empty()) return;
    const std::string name = std::move(open_.back());
    open_.pop_back();
    std::string& out = *out_;
    Indent();
    out += "</";
    out += name;
    out += ">\r\n";
}

void XmlWriter::Element(std::string_view name, std::string_view text) {
    std::string& out = *out_;
    Indent();
    out += '<';
    out += name;
    out += '>';
    AppendEscaped(out, text);
    out += "</";
    out += name;
    out += ">\r\n";
}

void XmlWriter::Element(std::string_view name, long long number) { Element(name, std::to_string(number)); }

void XmlWriter::AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        case '\t':
        case '\n': out += c; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20) out += c;
            break;
        }
    }
}

}  // namespace MyApp
