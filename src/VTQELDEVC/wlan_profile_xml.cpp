// A saved profile's document read with the system's XML reader: only the SSID's name and the
// shared key's type, protection and material matter.
#include "wlan_profiles.h"

#include "win/system_library.h"
#include "win/unique_any.h"

#include <objidl.h>
#include <xmllite.h>

#include <algorithm>
#include <cwctype>

namespace vtqeldevc {
namespace {

// SHCreateMemStream: exported by ordinal only on the older systems.
using MemStreamFunction = IStream*(WINAPI*)(const BYTE*, UINT);
constexpr WORD kMemStreamOrdinal = 12;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

std::wstring ReaderText(IXmlReader& reader,
                        HRESULT (STDMETHODCALLTYPE IXmlReader::*getter)(LPCWSTR*, UINT*)) {
    LPCWSTR text = nullptr;
    UINT length = 0;
    if (FAILED((reader.*getter)(&text, &length)) || text == nullptr) {
        return {};
    }
    return std::wstring(text, length);
}

// What the document said so far.
struct ProfileFacts {
    bool usable_key_type = false;
    bool protected_key = false;
    std::wstring name;
    std::wstring ssid;
    std::wstring key;

    void Text(const std::wstring& element, const std::wstring& text) {
        if (element == L"keyType") {
            const std::wstring type = Lower(text);
            usable_key_type = type == L"passphrase" || type == L"networkkey";
        } else if (element == L"protected") {
            protected_key = Lower(text) == L"true";
        } else if (element == L"name") {
            name = text;
        } else if (element == L"keyMaterial") {
            key = text;
        }
    }
};

} // namespace

int ParseWlanProfileXml(const wchar_t* xml, std::wstring& ssid, std::wstring& key) {
    if (xml == nullptr) {
        return kWlanNoArgument;
    }
    const qelwin::SystemLibrary shlwapi(L"shlwapi.dll");
    const qelwin::SystemLibrary xmllite(L"xmllite.dll");
    const auto make_stream = shlwapi.FindOrdinal<MemStreamFunction>(kMemStreamOrdinal);
    const auto create_reader = xmllite.Find<decltype(&::CreateXmlReader)>("CreateXmlReader");
    if (make_stream == nullptr || create_reader == nullptr) {
        return kWlanFailed;
    }
    // The document's bytes with its terminator, as the WLAN service handed them out.
    const std::size_t bytes = (std::wcslen(xml) + 1) * sizeof(wchar_t);
    qelwin::unique_com<IStream> stream(
        make_stream(reinterpret_cast<const BYTE*>(xml), static_cast<UINT>(bytes)));
    qelwin::unique_com<IXmlReader> reader;
    if (!stream ||
        FAILED(
            create_reader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.put()), nullptr)) ||
        FAILED(reader.get()->SetInput(stream.get()))) {
        return kWlanFailed;
    }
    IXmlReader& r = *reader.get();
    ProfileFacts facts;
    std::wstring element;
    XmlNodeType type = XmlNodeType_None;
    HRESULT read = S_OK;
    while ((read = r.Read(&type)) == S_OK) {
        if (type == XmlNodeType_Element) {
            element = ReaderText(r, &IXmlReader::GetLocalName);
        } else if (type == XmlNodeType_Text) {
            facts.Text(element, ReaderText(r, &IXmlReader::GetValue));
        } else if (type == XmlNodeType_EndElement &&
                   ReaderText(r, &IXmlReader::GetLocalName) == L"SSID") {
            facts.ssid = facts.name;
        }
    }
    if (FAILED(read) || !facts.usable_key_type || facts.protected_key) {
        return kWlanFailed;
    }
    ssid = facts.ssid;
    key = facts.key;
    return kWlanOk;
}

} // namespace vtqeldevc
