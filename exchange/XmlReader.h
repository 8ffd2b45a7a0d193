// Reading XML as a stream of nodes handed to a visitor, with a real parser
// underneath: the platform's own (the SAX reader of MSXML 6) in the Windows
// build, libxml2 elsewhere. The file is read piece by piece, never whole,
// and the reading refuses what a hostile file could use against the
// program: a document type declaration (and with it every entity of its
// own and every external file), elements nested deeper than the limit, and
// texts or attribute values longer than the limit.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace MyApp {

struct XmlLimits {
    int maxDepth = 64;                         // elements inside one another
    std::size_t maxValueBytes = 1024 * 1024;  // one text or attribute value, in UTF-8
};

enum class XmlNodeKind {
    StartElement,
    EndElement,  // an empty element gives its start and then its end
    Text,        // character data, CDATA sections and white space; one text may come in several pieces
};

struct XmlNode {
    XmlNodeKind kind = XmlNodeKind::Text;
    std::string name;          // elements: the local name, UTF-8
    std::string namespaceUri;  // elements: the namespace, empty for none
    std::string text;          // Text: the characters, UTF-8
};

// Hears every node in document order; answers false to stop the reading.
using XmlVisitor = std::function<bool(const XmlNode& node)>;

enum class XmlResult {
    Complete,    // the whole document was read and is well formed
    Stopped,     // the visitor stopped the reading
    Malformed,   // not well formed, refused by a limit, or unreadable past its start
    OpenFailed,  // the file could not be opened
};

// Comments, processing instructions and the XML declaration are passed over.
// The path is in the system code page.
XmlResult ReadXmlFile(const std::string& path, const XmlVisitor& visit, const XmlLimits& limits = XmlLimits());
XmlResult ReadXmlBytes(std::string_view bytes, const XmlVisitor& visit, const XmlLimits& limits = XmlLimits());

}  // namespace MyApp
