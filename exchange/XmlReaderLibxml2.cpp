// The XML reader on libxml2's xmlTextReader (every build but Windows').
#include "exchange/XmlReader.h"

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

class LibxmlReader final : public XmlReader {
public:
    LibxmlReader(xmlTextReaderPtr reader, const XmlLimits& limits) : reader_(reader), limits_(limits) {
        if (reader_ != nullptr) xmlTextReaderSetStructuredErrorHandler(reader_, &Quiet, nullptr);
    }
    ~LibxmlReader() override {
        if (reader_ != nullptr) xmlFreeTextReader(reader_);
    }
    LibxmlReader(const LibxmlReader&) = delete;
    LibxmlReader& operator=(const LibxmlReader&) = delete;

    XmlNodeKind Next(XmlNode& node) override {
        node.text.clear();
        if (finished_) return node.kind = finalKind_;
        if (pendingEnd_) {
            pendingEnd_ = false;
            node.kind = XmlNodeKind::EndElement;
            return node.kind;  // name and namespace still those of the start
        }
        if (reader_ == nullptr) return Finish(node, XmlNodeKind::Error);
        while (true) {
            const int step = xmlTextReaderRead(reader_);
            if (step == 0) return Finish(node, XmlNodeKind::EndOfDocument);
            if (step < 0) return Finish(node, XmlNodeKind::Error);
            switch (xmlTextReaderNodeType(reader_)) {
            case XML_READER_TYPE_ELEMENT: return Start(node);
            case XML_READER_TYPE_END_ELEMENT:
                node.name = Chars(xmlTextReaderConstLocalName(reader_));
                node.namespaceUri = Chars(xmlTextReaderConstNamespaceUri(reader_));
                return node.kind = XmlNodeKind::EndElement;
            case XML_READER_TYPE_TEXT:
            case XML_READER_TYPE_CDATA:
            case XML_READER_TYPE_WHITESPACE:
            case XML_READER_TYPE_SIGNIFICANT_WHITESPACE: {
                const char* value = Chars(xmlTextReaderConstValue(reader_));
                const std::size_t length = std::strlen(value);
                if (length > limits_.maxValueBytes) return Finish(node, XmlNodeKind::Error);
                node.text.assign(value, length);
                return node.kind = XmlNodeKind::Text;
            }
            case XML_READER_TYPE_DOCUMENT_TYPE:
            case XML_READER_TYPE_ENTITY_REFERENCE:
            case XML_READER_TYPE_ENTITY:
            case XML_READER_TYPE_NOTATION: return Finish(node, XmlNodeKind::Error);
            default: break;  // comments, processing instructions
            }
        }
    }

private:
    XmlNodeKind Start(XmlNode& node) {
        if (xmlTextReaderDepth(reader_) + 1 > limits_.maxDepth) return Finish(node, XmlNodeKind::Error);
        node.name = Chars(xmlTextReaderConstLocalName(reader_));
        node.namespaceUri = Chars(xmlTextReaderConstNamespaceUri(reader_));
        const bool empty = xmlTextReaderIsEmptyElement(reader_) == 1;
        while (xmlTextReaderMoveToNextAttribute(reader_) == 1) {
            if (std::strlen(Chars(xmlTextReaderConstValue(reader_))) > limits_.maxValueBytes)
                return Finish(node, XmlNodeKind::Error);
        }
        xmlTextReaderMoveToElement(reader_);
        pendingEnd_ = empty;
        return node.kind = XmlNodeKind::StartElement;
    }

    XmlNodeKind Finish(XmlNode& node, XmlNodeKind kind) {
        finished_ = true;
        finalKind_ = kind;
        return node.kind = kind;
    }

    xmlTextReaderPtr reader_;
    XmlLimits limits_;
    bool pendingEnd_ = false;
    bool finished_ = false;
    XmlNodeKind finalKind_ = XmlNodeKind::EndOfDocument;
};

}  // namespace

std::unique_ptr<XmlReader> OpenXmlFile(const std::string& path, const XmlLimits& limits) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return nullptr;
    // The reader closes the file, also when it cannot be made.
    xmlTextReaderPtr reader = xmlReaderForIO(&ReadFromFile, &CloseFile, file, nullptr, nullptr, ParseOptions);
    return std::make_unique<LibxmlReader>(reader, limits);
}

std::unique_ptr<XmlReader> OpenXmlBytes(std::string_view bytes, const XmlLimits& limits) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return std::make_unique<LibxmlReader>(nullptr, limits);
    xmlTextReaderPtr reader =
        xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, ParseOptions);
    return std::make_unique<LibxmlReader>(reader, limits);
}

}  // namespace MyApp
