#include "application_data.h"

#include "text_convert.h"
#include "xmlutil/escape.h"

#include <array>
#include <cstdio>

namespace vtqeldevc {
namespace {

constexpr std::size_t kDocumentCapacity = 4096;

// A formatted print into the fixed buffer; a document that would be cut short is refused.
template <typename... Texts>
bool Format(std::string* document, const char* format, const Texts&... texts) {
    if (document == nullptr) {
        return false;
    }
    std::array<char, kDocumentCapacity> buffer{};
    const int written = std::snprintf(buffer.data(), buffer.size(), format, texts.c_str()...);
    if (written < 0 || static_cast<std::size_t>(written) >= buffer.size()) {
        return false;
    }
    document->assign(buffer.data(), static_cast<std::size_t>(written));
    return true;
}

} // namespace

bool MakeGetIdDocument(std::string* document) {
    return Format(document,
                  "<application_data><format_version>%s</format_version></application_data>",
                  std::string(kFormatVersion));
}

bool MakeIdStatusDocument(std::string_view printer_id, std::string* document) {
    return Format(document,
                  "<application_data><format_version>%s</format_version><printer_id>%s"
                  "</printer_id></application_data>",
                  std::string(kFormatVersion), xmlutil::EscapeXmlAttribute(printer_id));
}

bool MakeCreateIdDocument(std::string_view server_url, std::string_view refresh_token,
                          std::string_view access_token, std::string_view service_id,
                          std::string* document) {
    return Format(document,
                  "<application_data><format_version>%s</format_version><server_url>%s"
                  "</server_url><refresh_token>%s</refresh_token><access_token>%s</access_token>"
                  "<service_id>%s</service_id></application_data>",
                  std::string(kFormatVersion), xmlutil::EscapeXmlAttribute(server_url),
                  xmlutil::EscapeXmlAttribute(refresh_token),
                  xmlutil::EscapeXmlAttribute(access_token),
                  xmlutil::EscapeXmlAttribute(service_id));
}

} // namespace vtqeldevc
