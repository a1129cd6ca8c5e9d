#include "xmlutil/xml_sax_parser_win.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "xmllite_binding.h"

namespace xmlutil {
namespace {

using NameGetter = HRESULT (STDMETHODCALLTYPE IXmlReader::*)(LPCWSTR*, UINT*);

std::wstring ReadText(IXmlReader& reader, NameGetter getter) {
    LPCWSTR text = nullptr;
    UINT length = 0;
    if (FAILED((reader.*getter)(&text, &length)) || text == nullptr) {
        return {};
    }
    return std::wstring(text, length);
}

// Where the reader stands, to tell real nodes from nodes a reader makes up at a cut-off end.
struct Position {
    UINT line = 0;
    UINT column = 0;
    auto operator<=>(const Position&) const = default;
};

Position CurrentPosition(IXmlReader& reader) {
    Position position;
    if (FAILED(reader.GetLineNumber(&position.line)) ||
        FAILED(reader.GetLinePosition(&position.column))) {
        return {};
    }
    return position;
}

struct ElementNames {
    std::wstring localName;
    std::wstring namespaceUri;
    std::wstring qualifiedName;
};

ElementNames ReadNames(IXmlReader& reader) {
    return {ReadText(reader, &IXmlReader::GetLocalName),
            ReadText(reader, &IXmlReader::GetNamespaceUri),
            ReadText(reader, &IXmlReader::GetQualifiedName)};
}

} // namespace

bool XmlSAXParserWin::SetInput(const std::string& document) {
    reader_.reset();
    inputSize_ = 0;
    if (document.empty()) {
        return false;
    }
    qelwin::unique_hglobal memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, document.size()));
    if (!memory) {
        return false;
    }
    void* bytes = ::GlobalLock(memory.get());
    if (bytes == nullptr) {
        return false;
    }
    std::memcpy(bytes, document.data(), document.size());
    ::GlobalUnlock(memory.get());

    qelwin::unique_com<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) {
        return false;
    }
    // The stream frees the memory when it is released.
    (void)memory.release();

    const auto createXmlReader = detail::BoundCreateXmlReader();
    if (createXmlReader == nullptr) {
        return false;
    }
    qelwin::unique_com<IXmlReader> reader;
    if (FAILED(createXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.put()),
                               nullptr))) {
        return false;
    }
    if (FAILED(reader.get()->SetInput(stream.get()))) {
        return false;
    }
    reader_ = std::move(reader);
    inputSize_ = document.size();
    return true;
}

bool XmlSAXParserWin::SetHandler(XmlSAXEventCallBack* handler) {
    handler_ = handler;
    return true;
}

bool XmlSAXParserWin::Parse() {
    if (!reader_) {
        return false;
    }
    if (handler_ == nullptr) {
        return true;
    }
    IXmlReader& reader = *reader_.get();
    bool started = false;
    bool cutOff = false;
    // Every real node moves the reader forward through the input, so no document has more
    // nodes than this; a reader that keeps giving nodes past it is stuck.
    std::size_t budget = 2 * inputSize_ + 16;
    Position last;
    XmlNodeType type = XmlNodeType_None;
    while (!cutOff && budget-- != 0 && reader.Read(&type) == S_OK) {
        // Some readers, at the end of a cut-off document, close the open elements themselves
        // (reporting them back at their start) or repeat empty text. Either means the input
        // ended early: stop as at a parse error, so the handler sees what is still open.
        const Position here = CurrentPosition(reader);
        if (here < last) {
            break;
        }
        last = here;
        if (!started) {
            handler_->StartDocument();
            started = true;
        }
        switch (type) {
        case XmlNodeType_Element: {
            const ElementNames names = ReadNames(reader);
            AttributeMap attributes;
            ReadAttributes(attributes);
            const bool empty = reader.IsEmptyElement() != FALSE;
            handler_->StartElement(names.localName, names.namespaceUri, names.qualifiedName,
                                   attributes);
            if (empty) {
                handler_->EndElement(names.localName, names.namespaceUri, names.qualifiedName);
            }
            break;
        }
        case XmlNodeType_EndElement: {
            const ElementNames names = ReadNames(reader);
            handler_->EndElement(names.localName, names.namespaceUri, names.qualifiedName);
            break;
        }
        case XmlNodeType_Text: {
            const std::wstring text = ReadText(reader, &IXmlReader::GetValue);
            if (text.empty()) {
                cutOff = true;
                break;
            }
            handler_->Characters(text);
            break;
        }
        case XmlNodeType_CDATA:
            handler_->CData(ReadText(reader, &IXmlReader::GetValue));
            break;
        default:
            break;
        }
    }
    if (started) {
        handler_->EndDocument();
    }
    return true;
}

void XmlSAXParserWin::ReadAttributes(AttributeMap& attributes) {
    IXmlReader& reader = *reader_.get();
    UINT count = 0;
    if (FAILED(reader.GetAttributeCount(&count)) || count == 0) {
        return;
    }
    for (HRESULT hr = reader.MoveToFirstAttribute(); hr == S_OK;
         hr = reader.MoveToNextAttribute()) {
        const std::wstring prefix = ReadText(reader, &IXmlReader::GetPrefix);
        if (prefix == L"xmlns") {
            continue;
        }
        std::wstring localName = ReadText(reader, &IXmlReader::GetLocalName);
        if (!localName.empty()) {
            attributes[std::move(localName)] = ReadText(reader, &IXmlReader::GetValue);
        }
    }
    reader.MoveToElement();
}

bool ParseXml(const std::string& document, XmlSAXEventCallBack& handler) {
    qelcmn::destructible::unique_destructible<IXmlSaxParser> parser(new XmlSAXParserWin());
    parser->SetInput(document);
    parser->SetHandler(&handler);
    return parser->Parse();
}

} // namespace xmlutil
