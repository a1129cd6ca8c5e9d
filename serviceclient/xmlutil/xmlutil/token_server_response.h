// The token server's answer and the reader that picks it out of the XML reply.
#pragma once

#include <string>

#include "xmlutil/element_nesting.h"
#include "xmlutil/sax.h"

namespace xmlutil {

struct TokenServerResponse {
    std::wstring result;
    std::wstring access_token;
    std::wstring refresh_token;
    std::wstring url;
};

// Keeps response, result, access_token, refresh_token and url; other elements are ignored.
// Known elements must close in the order they opened, else invalid_response_format.
class TokenServerResponsePicker : public XmlSAXEventCallBack {
public:
    explicit TokenServerResponsePicker(TokenServerResponse* target);

    void StartDocument() override;
    void EndDocument() override;
    void StartElement(const std::wstring& localName, const std::wstring& namespaceUri,
                      const std::wstring& qualifiedName, const AttributeMap& attributes) override;
    void EndElement(const std::wstring& localName, const std::wstring& namespaceUri,
                    const std::wstring& qualifiedName) override;
    void Characters(const std::wstring& text) override;
    void CData(const std::wstring& text) override;

private:
    KnownElementNesting nesting_;
    TokenServerResponse* target_;
};

} // namespace xmlutil
