// The XML reader on libxml2's xmlTextReader (every build but Windows').
#include "exchange/XmlReader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include <libxml/parser.h>
#include <libxml/xmlreader.h>

namespace MyApp {

namespace {

// The parser's messages would go to the standard error: a file's faults are
// told by the answer, not printed.
void Quiet(void*, xmlErrorPtr) {}

int ReadFromFile(void* context, char* buffer, int length) {
    auto* file = static_cast<std::FILE*>(context);
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(length), file);
    return got == 0 && std::ferror(file) ? -1 : static_cast<int>(got);
}

int CloseFile(void* context) { return std::fclose(static_cast<std::FILE*>(context)) == 0 ? 0 : -1; }

// No network, no external or internal DTD put to use, no entity replaced,
// none of the "huge" relaxations of the parser's own limits.
constexpr int ParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

const char* Chars(const xmlChar* text) { return text != nullptr ? reinterpret_cast<const char*>(text) : ""; }

// Reads every node of the reader (which it frees) to the visitor.
XmlResult Walk(xmlTextReaderPtr reader, const XmlVisitor& visit, const XmlLimits& limits) {
    if (reader == nullptr) return XmlResult::Malformed;
    xmlTextReaderSetStructuredErrorHandler(reader, &Quiet, nullptr);
    XmlNode node, end;
    end.kind = XmlNodeKind::EndElement;
    XmlResult result = XmlResult::Malformed;
    const auto tooLong = [&](const xmlChar* value) { return std::strlen(Chars(value)) > limits.maxValueBytes; };
    std::size_t textBytes = 0;  // of the text since the last tag
    while (true) {
        const int step = xmlTextReaderRead(reader);
        if (step <= 0) {
            if (step == 0) result = XmlResult::Complete;
            break;
        }
        const int type = xmlTextReaderNodeType(reader);
        bool keepOn = true;
        if (type == XML_READER_TYPE_ELEMENT) {
            if (xmlTextReaderDepth(reader) + 1 > limits.maxDepth) break;
            node.kind = XmlNodeKind::StartElement;
            node.name = Chars(xmlTextReaderConstLocalName(reader));
            node.namespaceUri = Chars(xmlTextReaderConstNamespaceUri(reader));
            node.text.clear();
            const bool empty = xmlTextReaderIsEmptyElement(reader) == 1;
            bool sound = true;
            while (sound && xmlTextReaderMoveToNextAttribute(reader) == 1) sound = !tooLong(xmlTextReaderConstValue(reader));
            if (!sound) break;
            xmlTextReaderMoveToElement(reader);
            textBytes = 0;
            keepOn = visit(node);
            if (keepOn && empty) {
                end.name = node.name;
                end.namespaceUri = node.namespaceUri;
                keepOn = visit(end);
            }
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            end.name = Chars(xmlTextReaderConstLocalName(reader));
            end.namespaceUri = Chars(xmlTextReaderConstNamespaceUri(reader));
            textBytes = 0;
            keepOn = visit(end);
        } else if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
                   type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE) {
            node.kind = XmlNodeKind::Text;
            node.name.clear();
            node.namespaceUri.clear();
            node.text = Chars(xmlTextReaderConstValue(reader));
            textBytes += node.text.size();
            if (textBytes > limits.maxValueBytes) break;
            keepOn = visit(node);
        } else if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE ||
                   type == XML_READER_TYPE_ENTITY || type == XML_READER_TYPE_NOTATION) {
            break;
        }
        if (!keepOn) {
            result = XmlResult::Stopped;
            break;
        }
    }
    xmlFreeTextReader(reader);
    return result;
}

}  // namespace

XmlResult ReadXmlFile(const std::string& path, const XmlVisitor& visit, const XmlLimits& limits) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return XmlResult::OpenFailed;
    // The reader closes the file, also when it cannot be made.
    return Walk(xmlReaderForIO(&ReadFromFile, &CloseFile, file, nullptr, nullptr, ParseOptions), visit, limits);
}

XmlResult ReadXmlBytes(std::string_view bytes, const XmlVisitor& visit, const XmlLimits& limits) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return XmlResult::Malformed;
    return Walk(xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, ParseOptions),
                visit, limits);
}

}  // namespace MyApp
