// The gateway's reply record and the handler that fills it from the reply document.
#pragma once

#include <map>
#include <string>

#include "xmlutil/element_nesting.h"
#include "xmlutil/sax.h"

namespace xmlutil {

struct KIVServerResponse {
    std::wstring name;   // qualified name of the last element whose name contains "res_"
    std::wstring result; // text of "cap:code"
    std::wstring url;    // text of "cap:maintenance_url" or "registration:open_url", the last
    std::map<std::wstring, std::wstring> parameters; // "cap:cap_api" texts by their "key"

    const std::wstring& GetResult() const noexcept { return result; }
    // The text stored under the key, or an empty text.
    const std::wstring& GetParam(const std::wstring& key) const noexcept;
    void Clear() noexcept;
};

// The result of a notice: the gateway's answer to it is not read.
struct KIVServerNullResponse {};

// Keeps the known elements of a gateway reply and checks that they close in order; throws
// invalid_response_format (empty message) when a known element closes out of order or the
// document ends while one is open.
class KIVServerResponsePicker : public XmlSAXEventCallBack {
public:
    explicit KIVServerResponsePicker(KIVServerResponse* target);

    void StartDocument() override;
    void EndDocument() override;
    void StartElement(const std::wstring& localName, const std::wstring& namespaceUri,
                      const std::wstring& qualifiedName, const AttributeMap& attributes) override;
    void EndElement(const std::wstring& localName, const std::wstring& namespaceUri,
                    const std::wstring& qualifiedName) override;
    void Characters(const std::wstring& text) override;
    void CData(const std::wstring& text) override;

private:
    void Text(const std::wstring& text);

    KnownElementNesting nesting_;
    std::wstring pendingKey_;
    KIVServerResponse* target_;
};

} // namespace xmlutil
