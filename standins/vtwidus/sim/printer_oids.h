// Object identifiers of the printer's management information, as suffixes below the maker's
// arc (see FullOid).
#pragma once

#include <string_view>

namespace vtwidussim::oids {

// Identity.
inline constexpr std::string_view kSerialNumber = ".1.2.1.8.1.3.1.1";

// User information texts.
inline constexpr std::string_view kUserInfoText1 = ".1.2.2.4.0";
inline constexpr std::string_view kUserInfoText2 = ".1.2.2.5.0";

// State.
inline constexpr std::string_view kStateWord = ".1.3.1.10.0";
inline constexpr std::string_view kSettingWord = ".1.3.1.11.0";
inline constexpr std::string_view kWirelessState = ".1.3.2.100.1.0";
inline constexpr std::string_view kDot11Mode = ".1.3.2.100.2.0";

// Interface tables; a row suffix .2 (wired) or .3 (infrastructure) follows the column.
inline constexpr std::string_view kIfTable10 = ".1.3.3.1.100.10.1";
inline constexpr std::string_view kIfTable20 = ".1.3.3.1.100.20.1";
inline constexpr int kWiredRow = 2;
inline constexpr int kInfraRow = 3;

// Infrastructure wireless.
inline constexpr std::string_view kInfraBands = ".1.3.2.100.10.1.0";
inline constexpr std::string_view kInfraSsid = ".1.3.2.100.10.3.0";
inline constexpr std::string_view kInfraChannel = ".1.3.2.100.10.5.0";
inline constexpr std::string_view kInfraAuthentication = ".1.3.2.100.10.6.0";
inline constexpr std::string_view kInfraEncryption = ".1.3.2.100.10.7.0";
inline constexpr std::string_view kInfraSupportedAuth = ".1.3.2.100.10.11.0";
inline constexpr std::string_view kInfraKeyIndex = ".1.3.2.100.10.100.0";
inline constexpr std::string_view kInfraKeyKind = ".1.3.2.100.10.101.0";
inline constexpr std::string_view kInfraWepKey1 = ".1.3.2.100.10.102.0";
inline constexpr std::string_view kInfraWepKey2 = ".1.3.2.100.10.103.0";
inline constexpr std::string_view kInfraWepKey3 = ".1.3.2.100.10.104.0";
inline constexpr std::string_view kInfraWepKey4 = ".1.3.2.100.10.105.0";
inline constexpr std::string_view kInfraPassphrase = ".1.3.2.100.10.110.0";

// Direct (the printer as an access point).
inline constexpr std::string_view kDirectSsid = ".1.3.2.100.11.3.0";
inline constexpr std::string_view kDirectAuthentication = ".1.3.2.100.11.6.0";
inline constexpr std::string_view kDirectEncryption = ".1.3.2.100.11.7.0";
inline constexpr std::string_view kDirectPassphrase = ".1.3.2.100.11.110.0";
inline constexpr std::string_view kDirectAltSsid = ".1.3.2.100.13.3.0";
inline constexpr std::string_view kDirectAltPassphrase = ".1.3.2.100.13.110.0";

// Access-point search.
inline constexpr std::string_view kApSearchStart = ".1.3.2.100.100.2.0";
inline constexpr std::string_view kApSearchTime = ".1.3.2.100.100.3.0";
inline constexpr std::string_view kApSearchCount = ".1.3.2.100.100.5.0";
inline constexpr std::string_view kApSearchStartWithSsid = ".1.3.2.100.100.7.0";
inline constexpr std::string_view kApSearchSupportTable = ".1.3.2.100.100.8.1.2";
inline constexpr std::string_view kApSearchWithParams = ".1.3.2.100.100.9.0";
inline constexpr std::string_view kApSearchResultTable = ".1.3.2.100.100.10.1.1";

// The value that starts a plain search.
inline constexpr int kApSearchStartValue = 3;

// Result-table columns.
inline constexpr int kResultColumnSsid = 2;
inline constexpr int kResultColumnBssid = 3;
inline constexpr int kResultColumnPhyType = 4;
inline constexpr int kResultColumnChannel = 5;
inline constexpr int kResultColumnAuthentication = 6;
inline constexpr int kResultColumnEncryption = 7;
inline constexpr int kResultColumnSignalLevel = 8;

} // namespace vtwidussim::oids
