// The application_data documents that travel encrypted inside the qel job's ReceiveData exchange.
#pragma once

#include <string>
#include <string_view>

namespace vtqeldevc {

inline constexpr char kFormatVersion[] = "1.00";
inline constexpr char kFormatGetId[] = "get_id";
inline constexpr char kFormatIdStatus[] = "id_status";
inline constexpr char kFormatCreateId[] = "create_id";

// Each makes the document as narrow text of at most 4095 bytes; values are escaped. False when
// the document would not fit.
bool MakeGetIdDocument(std::string* document);
bool MakeIdStatusDocument(std::string_view printer_id, std::string* document);
bool MakeCreateIdDocument(std::string_view server_url, std::string_view refresh_token,
                          std::string_view access_token, std::string_view service_id,
                          std::string* document);

} // namespace vtqeldevc
