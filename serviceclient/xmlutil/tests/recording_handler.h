// A handler that writes every event as one line, for comparing event streams.
#pragma once

#include <string>
#include <vector>

#include "xmlutil/sax.h"

namespace xmlutil::test {

class RecordingHandler : public XmlSAXEventCallBack {
public:
    std::vector<std::wstring> events;

    void StartDocument() override { events.push_back(L"start-document"); }
    void EndDocument() override { events.push_back(L"end-document"); }
    void StartElement(const std::wstring& localName, const std::wstring& namespaceUri,
                      const std::wstring& qualifiedName, const AttributeMap& attributes) override {
        std::wstring line = L"<" + qualifiedName + L" local=" + localName + L" ns=" + namespaceUri;
        for (const auto& [name, value] : attributes) {
            line += L" @" + name + L"=" + value;
        }
        events.push_back(line);
    }
    void EndElement(const std::wstring& localName, const std::wstring& namespaceUri,
                    const std::wstring& qualifiedName) override {
        events.push_back(L"</" + qualifiedName + L" local=" + localName + L" ns=" + namespaceUri);
    }
    void Characters(const std::wstring& text) override { events.push_back(L"text:" + text); }
    void CData(const std::wstring& text) override { events.push_back(L"cdata:" + text); }
};

} // namespace xmlutil::test
