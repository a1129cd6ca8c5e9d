// Readers of every printer reply: what is read, what counts as success, and how a refusal
// becomes a numeric code.
#pragma once

#include "command_xml.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vtqeldevc {

// Common results of the parsers that return a code.
inline constexpr int kReplyOk = 0;
inline constexpr int kReplyNotRead = 1;
inline constexpr int kReplyNullArgument = 2;
inline constexpr int kReplyPayloadUnusable = 21;

// A reply is passed as the bytes received; it is read as text up to its first NUL and never
// beyond the bytes given.
using Reply = std::span<const char>;

// Code of an ivec:response_detail text (2..19); any other text, the empty one included, gives 1.
int ResponseDetailToCode(std::string_view detail) noexcept;

bool ParseDeviceCapability(Reply reply);
int ParseModel(Reply reply, std::string* model);
int ParseProductSerialNumber(Reply reply, std::string* serial_number);
int ParsePdr(Reply reply, std::string* pdr);
bool ParseSetConfigurationAgreement(Reply reply);
bool ParseHostApplicationId(Reply reply);
int ParseNetworkInterfaces(Reply reply, bool wireless_only, std::string* hardware_address);
int ParseWebserviceAgreement(Reply reply, std::uint8_t* agreement);
int ParseDeviceStartJobResponse(Reply reply, PairList* pairs);
int ParseDeviceJobResponse(Reply reply, PairList* pairs);
bool ParseQelSupportService(Reply reply, std::uint8_t* service_kind);
int ParseQelConnectivityTest(Reply reply, std::uint8_t* state);
int ParseQelStartJobResponse(Reply reply, PairList* pairs);
int ParseQelStartJobAuthResponse(Reply reply, PairList* pairs);
int ParseQelEndJobResponse(Reply reply, PairList* pairs);
// Reads the reply, checks vvt:ijdatakey8 of the authenticated StartJob reply (job_pairs) and
// deciphers the payload that follows "</cmd>"; text receives the plain application data.
int ParseQelReceiveDataResponse(Reply reply, std::string_view key_text, const PairList& job_pairs,
                                PairList* pairs, std::string* text);

} // namespace vtqeldevc
