// The XML reader on the platform's own parser, xmllite's IXmlReader (present
// on every Windows), over a stream of the file.
#include "exchange/XmlReader.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include "model/WideText.h"

namespace MyApp {

namespace {

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

// xmllite's CreateXmlReader, from the system's own copy of the library.
CreateXmlReaderFunction ReaderFactory() {
    static const CreateXmlReaderFunction factory = [] {
        HMODULE library = LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return library != nullptr
                   ? reinterpret_cast<CreateXmlReaderFunction>(
                         reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")))
                   : nullptr;
    }();
    return factory;
}

std::string Utf8(const wchar_t* text, UINT length) {
    if (text == nullptr || length == 0) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &result[0], size, nullptr, nullptr);
    return result;
}

template <class Interface>
void Release(Interface*& pointer) {
    if (pointer != nullptr) pointer->Release();
    pointer = nullptr;
}

class XmlLiteReader final : public XmlReader {
public:
    // Takes over the stream (null: a reader that answers Error).
    XmlLiteReader(IStream* stream, const XmlLimits& limits) : stream_(stream), limits_(limits) {
        const CreateXmlReaderFunction create = ReaderFactory();
        if (stream_ == nullptr || create == nullptr ||
            FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader_), nullptr)))
            return;
        // No document type declaration at all, and the depth limited by the parser too.
        if (FAILED(reader_->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
            FAILED(reader_->SetInput(stream_))) {
            Release(reader_);
            return;
        }
        reader_->SetProperty(XmlReaderProperty_MaxElementDepth, limits_.maxDepth);
    }
    ~XmlLiteReader() override {
        Release(reader_);
        Release(stream_);
    }
    XmlLiteReader(const XmlLiteReader&) = delete;
    XmlLiteReader& operator=(const XmlLiteReader&) = delete;

    XmlNodeKind Next(XmlNode& node) override {
        node.text.clear();
        if (finished_) return node.kind = finalKind_;
        if (pendingEnd_) {
            pendingEnd_ = false;
            return node.kind = XmlNodeKind::EndElement;  // name and namespace still those of the start
        }
        if (reader_ == nullptr) return Finish(node, XmlNodeKind::Error);
        while (true) {
            XmlNodeType type = XmlNodeType_None;
            const HRESULT step = reader_->Read(&type);
            if (step == S_FALSE) return Finish(node, XmlNodeKind::EndOfDocument);
            if (step != S_OK) return Finish(node, XmlNodeKind::Error);
            switch (type) {
            case XmlNodeType_Element: return Start(node);
            case XmlNodeType_EndElement:
                if (!Names(node)) return Finish(node, XmlNodeKind::Error);
                return node.kind = XmlNodeKind::EndElement;
            case XmlNodeType_Text:
            case XmlNodeType_CDATA:
            case XmlNodeType_Whitespace:
                if (!Value(node.text)) return Finish(node, XmlNodeKind::Error);
                return node.kind = XmlNodeKind::Text;
            case XmlNodeType_DocumentType: return Finish(node, XmlNodeKind::Error);
            default: break;  // comments, processing instructions, the declaration
            }
        }
    }

private:
    XmlNodeKind Start(XmlNode& node) {
        UINT depth = 0;
        if (FAILED(reader_->GetDepth(&depth)) || depth + 1 > static_cast<UINT>(limits_.maxDepth) || !Names(node))
            return Finish(node, XmlNodeKind::Error);
        const bool empty = reader_->IsEmptyElement() != FALSE;
        std::string value;
        for (HRESULT at = reader_->MoveToFirstAttribute(); at == S_OK; at = reader_->MoveToNextAttribute()) {
            if (!Value(value)) return Finish(node, XmlNodeKind::Error);
        }
        reader_->MoveToElement();
        pendingEnd_ = empty;
        return node.kind = XmlNodeKind::StartElement;
    }

    bool Names(XmlNode& node) {
        const wchar_t* text = nullptr;
        UINT length = 0;
        if (FAILED(reader_->GetLocalName(&text, &length))) return false;
        node.name = Utf8(text, length);
        text = nullptr;
        length = 0;
        if (FAILED(reader_->GetNamespaceUri(&text, &length))) return false;
        node.namespaceUri = Utf8(text, length);
        return true;
    }

    // The value of the node or attribute, within the limit.
    bool Value(std::string& value) {
        const wchar_t* text = nullptr;
        UINT length = 0;
        // Every UTF-16 unit takes at least one byte in UTF-8.
        if (FAILED(reader_->GetValue(&text, &length)) || length > limits_.maxValueBytes) return false;
        value = Utf8(text, length);
        return value.size() <= limits_.maxValueBytes;
    }

    XmlNodeKind Finish(XmlNode& node, XmlNodeKind kind) {
        finished_ = true;
        finalKind_ = kind;
        return node.kind = kind;
    }

    IStream* stream_ = nullptr;
    IXmlReader* reader_ = nullptr;
    XmlLimits limits_;
    bool pendingEnd_ = false;
    bool finished_ = false;
    XmlNodeKind finalKind_ = XmlNodeKind::EndOfDocument;
};

}  // namespace

std::unique_ptr<XmlReader> OpenXmlFile(const std::string& path, const XmlLimits& limits) {
    const std::wstring wide = Widen(path);
    IStream* stream = nullptr;
    if (wide.empty() || FAILED(SHCreateStreamOnFileEx(wide.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                                      FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream)))
        return nullptr;
    return std::make_unique<XmlLiteReader>(stream, limits);
}

std::unique_ptr<XmlReader> OpenXmlBytes(std::string_view bytes, const XmlLimits& limits) {
    IStream* stream = bytes.size() <= 0x7FFFFFFF
                          ? SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()))
                          : nullptr;
    return std::make_unique<XmlLiteReader>(stream, limits);
}

}  // namespace MyApp
