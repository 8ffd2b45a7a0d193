// The XML reader on the platform's own parser: the SAX reader of MSXML 6
// (part of every Windows the program runs on), fed from a stream of the
// file. It parses in pieces and calls back for every node; a callback that
// answers a failure ends the parse.
#include "exchange/XmlReader.h"

#include <windows.h>
#include <msxml2.h>
#include <shlwapi.h>

#include <exception>

#include "model/WideText.h"

namespace MyApp {

namespace {

// The interfaces of the SAX reader (msxml2.h declares them but MinGW has no
// library that defines their identifiers).
constexpr IID ReaderId = {0xa4f96ed0, 0xf829, 0x476e, {0x81, 0xc0, 0xcd, 0xc7, 0xbd, 0x2a, 0x08, 0x02}};
constexpr IID ContentHandlerId = {0x1545cdfa, 0x9e4e, 0x4497, {0xa8, 0xa4, 0x2b, 0xf7, 0xd0, 0x11, 0x2c, 0x44}};
constexpr IID LexicalHandlerId = {0x7f85d5f5, 0x47a8, 0x4497, {0xbd, 0xa5, 0x84, 0xba, 0x04, 0x81, 0x9e, 0xa6}};

std::string Utf8(const wchar_t* text, int length) {
    if (text == nullptr || length <= 0) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

// COM for the calling thread while it lives, when the thread has none yet.
class ComScope {
public:
    ComScope() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (started_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool started_;
};

// Hears the parser and hands the nodes to the visitor. It lives on the
// stack of one reading: the reference counts only follow the parser's use.
class Handler final : public ISAXContentHandler, public ISAXLexicalHandler {
public:
    Handler(const XmlVisitor& visit, const XmlLimits& limits) : visit_(visit), limits_(limits) {}

    bool stopped = false;  // the visitor ended the reading
    std::exception_ptr failure;

    // ---- IUnknown
    HRESULT WINAPI QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (id == IID_IUnknown || id == ContentHandlerId) *object = static_cast<ISAXContentHandler*>(this);
        else if (id == LexicalHandlerId) *object = static_cast<ISAXLexicalHandler*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return ++references_; }
    ULONG WINAPI Release() override { return --references_; }

    // ---- ISAXContentHandler
    HRESULT WINAPI putDocumentLocator(ISAXLocator*) override { return S_OK; }
    HRESULT WINAPI startDocument() override { return S_OK; }
    HRESULT WINAPI endDocument() override { return S_OK; }
    HRESULT WINAPI startPrefixMapping(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT WINAPI endPrefixMapping(const wchar_t*, int) override { return S_OK; }
    HRESULT WINAPI startElement(const wchar_t* uri, int uriLength, const wchar_t* local, int localLength,
                                const wchar_t*, int, ISAXAttributes* attributes) override {
        if (++depth_ > limits_.maxDepth) return E_FAIL;
        if (attributes != nullptr) {
            int count = 0;
            if (FAILED(attributes->getLength(&count))) return E_FAIL;
            for (int i = 0; i < count; ++i) {
                const wchar_t* value = nullptr;
                int length = 0;
                // Every UTF-16 unit takes at least one byte in UTF-8.
                if (FAILED(attributes->getValue(i, &value, &length)) ||
                    static_cast<std::size_t>(length) > limits_.maxValueBytes ||
                    Utf8(value, length).size() > limits_.maxValueBytes)
                    return E_FAIL;
            }
        }
        node_.kind = XmlNodeKind::StartElement;
        node_.name = Utf8(local, localLength);
        node_.namespaceUri = Utf8(uri, uriLength);
        node_.text.clear();
        return Tag();
    }
    HRESULT WINAPI endElement(const wchar_t* uri, int uriLength, const wchar_t* local, int localLength,
                              const wchar_t*, int) override {
        --depth_;
        node_.kind = XmlNodeKind::EndElement;
        node_.name = Utf8(local, localLength);
        node_.namespaceUri = Utf8(uri, uriLength);
        node_.text.clear();
        return Tag();
    }
    HRESULT WINAPI characters(const wchar_t* chars, int length) override {
        if (chars == nullptr || length <= 0) return S_OK;
        // A pair of surrogates cut between two pieces is put together again.
        std::wstring piece = pendingHalf_;
        pendingHalf_.clear();
        piece.append(chars, static_cast<std::size_t>(length));
        if (IS_HIGH_SURROGATE(piece.back())) {
            pendingHalf_ = piece.back();
            piece.pop_back();
        }
        node_.kind = XmlNodeKind::Text;
        node_.name.clear();
        node_.namespaceUri.clear();
        node_.text = Utf8(piece.data(), static_cast<int>(piece.size()));
        textBytes_ += node_.text.size();
        if (textBytes_ > limits_.maxValueBytes) return E_FAIL;
        return node_.text.empty() ? S_OK : Hand();
    }
    HRESULT WINAPI ignorableWhitespace(const wchar_t* chars, int length) override { return characters(chars, length); }
    HRESULT WINAPI processingInstruction(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT WINAPI skippedEntity(const wchar_t*, int) override { return E_FAIL; }

    // ---- ISAXLexicalHandler: no document type declaration is read at all.
    HRESULT WINAPI startDTD(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) override { return E_FAIL; }
    HRESULT WINAPI endDTD() override { return E_FAIL; }
    HRESULT WINAPI startEntity(const wchar_t*, int) override { return S_OK; }
    HRESULT WINAPI endEntity(const wchar_t*, int) override { return S_OK; }
    HRESULT WINAPI startCDATA() override { return S_OK; }
    HRESULT WINAPI endCDATA() override { return S_OK; }
    HRESULT WINAPI comment(const wchar_t*, int) override { return S_OK; }

private:
    HRESULT Tag() {
        if (!pendingHalf_.empty()) return E_FAIL;  // half a character before a tag
        textBytes_ = 0;
        return Hand();
    }
    // The visitor hears the node; nothing it throws crosses the parser.
    HRESULT Hand() {
        try {
            if (visit_(node_)) return S_OK;
            stopped = true;
        } catch (...) {
            failure = std::current_exception();
        }
        return E_FAIL;
    }

    const XmlVisitor& visit_;
    XmlLimits limits_;
    XmlNode node_;
    int depth_ = 0;
    std::size_t textBytes_ = 0;
    std::wstring pendingHalf_;
    ULONG references_ = 1;
};

XmlResult Parse(IStream* stream, const XmlVisitor& visit, const XmlLimits& limits) {
    CLSID readerClass{};
    ISAXXMLReader* reader = nullptr;
    if (FAILED(CLSIDFromProgID(L"Msxml2.SAXXMLReader.6.0", &readerClass)) ||
        FAILED(CoCreateInstance(readerClass, nullptr, CLSCTX_INPROC_SERVER, ReaderId, reinterpret_cast<void**>(&reader))))
        return XmlResult::Malformed;
    Handler handler(visit, limits);
    VARIANT lexical;
    VariantInit(&lexical);
    lexical.vt = VT_UNKNOWN;
    lexical.punkVal = static_cast<ISAXLexicalHandler*>(&handler);
    VARIANT depth;
    VariantInit(&depth);
    depth.vt = VT_I4;
    depth.lVal = limits.maxDepth;
    // No external entity, no DTD (the lexical handler refuses one where the
    // feature is not honoured), and the depth limited by the parser too.
    reader->putFeature(L"prohibit-dtd", VARIANT_TRUE);
    reader->putFeature(L"http://xml.org/sax/features/external-general-entities", VARIANT_FALSE);
    reader->putFeature(L"http://xml.org/sax/features/external-parameter-entities", VARIANT_FALSE);
    reader->putProperty(L"max-element-depth", depth);
    XmlResult result = XmlResult::Malformed;
    if (SUCCEEDED(reader->putProperty(L"http://xml.org/sax/properties/lexical-handler", lexical)) &&
        SUCCEEDED(reader->putContentHandler(&handler))) {
        VARIANT input;
        VariantInit(&input);
        input.vt = VT_UNKNOWN;
        input.punkVal = stream;
        const HRESULT parsed = reader->parse(input);
        result = handler.stopped ? XmlResult::Stopped : SUCCEEDED(parsed) ? XmlResult::Complete : XmlResult::Malformed;
    }
    reader->putContentHandler(nullptr);
    VARIANT none;
    VariantInit(&none);
    none.vt = VT_UNKNOWN;
    none.punkVal = nullptr;
    reader->putProperty(L"http://xml.org/sax/properties/lexical-handler", none);
    reader->Release();
    if (handler.failure) std::rethrow_exception(handler.failure);
    return result;
}

// Parses `stream` in COM's apartment and lets it go, whatever the outcome.
XmlResult ParseAndRelease(IStream* stream, const XmlVisitor& visit, const XmlLimits& limits) {
    const ComScope com;
    struct Releaser {
        IStream* s;
        ~Releaser() { s->Release(); }
    } release{stream};
    return Parse(stream, visit, limits);
}

}  // namespace

XmlResult ReadXmlFile(const std::string& path, const XmlVisitor& visit, const XmlLimits& limits) {
    const std::wstring wide = Widen(path);
    IStream* stream = nullptr;
    if (wide.empty() || FAILED(SHCreateStreamOnFileEx(wide.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                                      FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream)))
        return XmlResult::OpenFailed;
    return ParseAndRelease(stream, visit, limits);
}

XmlResult ReadXmlBytes(std::string_view bytes, const XmlVisitor& visit, const XmlLimits& limits) {
    if (bytes.size() > 0x7FFFFFFF) return XmlResult::Malformed;
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    if (stream == nullptr) return XmlResult::Malformed;
    return ParseAndRelease(stream, visit, limits);
}

}  // namespace MyApp
