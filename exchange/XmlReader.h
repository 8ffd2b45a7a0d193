// Reading XML as a stream of nodes, with a real parser underneath: the
// platform's own (xmllite) in the Windows build, libxml2 elsewhere. The file
// is read piece by piece, never whole, and the reader refuses what a
// hostile file could use against the program: a document type declaration
// (and with it every entity of its own), elements nested deeper than the
// limit and texts or attribute values longer than the limit.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace MyApp {

struct XmlLimits {
    int maxDepth = 64;                      // elements inside one another
    std::size_t maxValueBytes = 1024 * 1024;  // one text or attribute value, in UTF-8
};

enum class XmlNodeKind {
    StartElement,  // an empty element gives its start and then its end
    EndElement,
    Text,           // character data, CDATA sections and white space
    EndOfDocument,  // the whole document was read and is well formed
    Error,          // not well formed, refused by a limit, or unreadable
};

struct XmlNode {
    XmlNodeKind kind = XmlNodeKind::EndOfDocument;
    std::string name;          // elements: the local name, UTF-8
    std::string namespaceUri;  // elements: the namespace, empty for none
    std::string text;          // Text: the characters, UTF-8
};

class XmlReader {
public:
    virtual ~XmlReader() = default;
    // The next node; comments, processing instructions and the XML
    // declaration are passed over. After EndOfDocument or Error every call
    // answers the same.
    virtual XmlNodeKind Next(XmlNode& node) = 0;
};

// A reader of the file (the path in the system code page); null when the
// file cannot be opened.
std::unique_ptr<XmlReader> OpenXmlFile(const std::string& path, const XmlLimits& limits = XmlLimits());
// A reader of bytes held in memory; they must outlive the reader.
std::unique_ptr<XmlReader> OpenXmlBytes(std::string_view bytes, const XmlLimits& limits = XmlLimits());

}  // namespace MyApp
