#include "replies.h"

#include "qel_crypto.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace vtqeldevc {
namespace {

constexpr std::string_view kDevicePrefix =
    "cmd/ivec:contents/ivec:param_set servicetype=\"device\"/";
constexpr std::string_view kQelPrefix = "cmd/ivec:contents/ivec:param_set servicetype=\"qel\"/";

constexpr std::string_view kResponse = "ivec:response";
constexpr std::string_view kResponseDetail = "ivec:response_detail";

struct DetailCode {
    std::string_view detail;
    int code;
};

constexpr std::array<DetailCode, 17> kDetailCodes = {{
    {"ParameterError", 2},
    {"NotSupportService", 4},
    {"NotSupportOperation", 4},
    {"DeviceUseOtherJob", 6},
    {"NotStart", 7},
    {"IllegalJobID", 8},
    {"IllegalOperation", 9},
    {"AuthenticationError", 10},
    {"AuthenticationSettingRequired", 11},
    {"Suspended", 12},
    {"Initializing", 13},
    {"ShuttingDown", 14},
    {"NotConnectServer", 15},
    {"NotConnectInternet", 16},
    {"ConnectTimeout", 17},
    {"OtherConnectError", 18},
    {"PrinterIDError", 19},
}};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The values of response, response_detail and then each element, read from one reply.
struct ReadValues {
    int result = kReplyNotRead;
    std::vector<std::string> values;
    std::size_t root_end = 0;

    const std::string& response() const { return values[0]; }
    const std::string& detail() const { return values[1]; }
    const std::string& operator[](std::size_t element) const { return values[2 + element]; }
    bool ok() const { return response() == "OK"; }
    int refusal() const { return ResponseDetailToCode(detail()); }
};

ReadValues Read(Reply reply, std::string_view prefix,
                std::initializer_list<std::string_view> elements) {
    ReadValues read;
    std::vector<std::string> paths;
    paths.reserve(elements.size() + 2);
    paths.push_back(std::string(prefix) + std::string(kResponse));
    paths.push_back(std::string(prefix) + std::string(kResponseDetail));
    for (auto element : elements) {
        paths.push_back(std::string(prefix) + std::string(element));
    }
    const std::string_view text(reply.data(), reply.size());
    read.result = ReadResponseValues(text, paths, &read.values, &read.root_end);
    if (read.result == 0 && read.values.size() != paths.size()) {
        read.result = kReplyNotRead;
    }
    return read;
}

// Appends response, response_detail and the named element values as pairs.
void AppendPairs(const ReadValues& read, std::initializer_list<std::string_view> names,
                 PairList& pairs) {
    pairs.push_back({std::string(kResponse), read.response()});
    pairs.push_back({std::string(kResponseDetail), read.detail()});
    std::size_t element = 0;
    for (auto name : names) {
        pairs.push_back({std::string(name), read[element++]});
    }
}

int ParseDeviceText(Reply reply, std::string_view element, std::string* output) {
    if (reply.data() == nullptr || output == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(reply, kDevicePrefix, {element});
    if (read.result != 0) {
        return kReplyNotRead;
    }
    if (!read.response().empty()) {
        *output = read[0];
    }
    return read.ok() ? kReplyOk : read.refusal();
}

// A job reply whose only success is "OK": its pairs are appended.
int ParseOkJob(Reply reply, std::string_view prefix,
               std::initializer_list<std::string_view> elements, PairList* pairs) {
    if (reply.data() == nullptr || pairs == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(reply, prefix, elements);
    if (read.result != 0) {
        return kReplyNotRead;
    }
    if (!read.ok()) {
        return read.refusal();
    }
    AppendPairs(read, elements, *pairs);
    return kReplyOk;
}

// ivec:datasize as a plain decimal number of at most the bytes that follow the reply's XML.
bool PayloadSize(std::string_view text, std::size_t available, std::size_t& size) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > available) {
        return false;
    }
    size = static_cast<std::size_t>(value);
    return true;
}

} // namespace

int ResponseDetailToCode(std::string_view detail) noexcept {
    for (const auto& row : kDetailCodes) {
        if (row.detail == detail) {
            return row.code;
        }
    }
    return 1;
}

bool ParseDeviceCapability(Reply reply) {
    if (reply.data() == nullptr) {
        return false;
    }
    const auto read = Read(reply, kDevicePrefix, {"ivec:service"});
    return read.result == 0 && read.ok() && Contains(read[0], "qel");
}

int ParseModel(Reply reply, std::string* model) {
    return ParseDeviceText(reply, "ivec:model", model);
}

int ParseProductSerialNumber(Reply reply, std::string* serial_number) {
    return ParseDeviceText(reply, "ivec:product_serialnumber", serial_number);
}

int ParsePdr(Reply reply, std::string* pdr) {
    if (pdr != nullptr) {
        pdr->clear();
    }
    return ParseDeviceText(reply, "vvt:pdr", pdr);
}

bool ParseSetConfigurationAgreement(Reply reply) {
    if (reply.data() == nullptr) {
        return false;
    }
    const auto read = Read(reply, kDevicePrefix,
                           {"vvt:SetConfigurationWithoutStartJob/vvt:webservice_agreement"});
    return read.result == 0 && read.ok() && Contains(read[0], "agree");
}

bool ParseHostApplicationId(Reply reply) {
    if (reply.data() == nullptr) {
        return false;
    }
    const auto read =
        Read(reply, kDevicePrefix, {"vvt:SetConfigurationWithoutStartJob/vvt:host_application_id"});
    return read.result == 0 && read.ok() && Contains(read[0], "0000");
}

int ParseNetworkInterfaces(Reply reply, bool wireless_only, std::string* hardware_address) {
    if (reply.data() == nullptr || hardware_address == nullptr) {
        return kReplyNullArgument;
    }
    const auto read =
        Read(reply, kDevicePrefix,
             {"ivec:network_interface/ivec:interface_set id=\"wired0\"/ivec:ip/ivec:hwaddress",
              "ivec:network_interface/ivec:interface_set id=\"wireless0\"/vvt:communication_method/"
              "vvt:item",
              "ivec:network_interface/ivec:interface_set id=\"wireless0\"/ivec:ip/ivec:hwaddress",
              "ivec:network_interface/ivec:interface_set id=\"wireless1\"/vvt:communication_method/"
              "vvt:item",
              "ivec:network_interface/ivec:interface_set id=\"wireless1\"/ivec:ip/ivec:hwaddress",
              "ivec:network_interface/ivec:interface_set id=\"wireless2\"/vvt:communication_method/"
              "vvt:item",
              "ivec:network_interface/ivec:interface_set id=\"wireless2\"/ivec:ip/ivec:hwaddress"});
    if (read.result != 0) {
        return kReplyNotRead;
    }
    if (!wireless_only && !read[0].empty()) {
        *hardware_address = read[0];
    } else {
        for (std::size_t wireless = 0; wireless < 3; ++wireless) {
            if (read[1 + 2 * wireless] == "infrastructure_mode") {
                *hardware_address = read[2 + 2 * wireless];
                break;
            }
        }
    }
    return read.ok() ? kReplyOk : read.refusal();
}

int ParseWebserviceAgreement(Reply reply, std::uint8_t* agreement) {
    if (reply.data() == nullptr || agreement == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(reply, kDevicePrefix, {"vvt:webservice_agreement"});
    if (read.result != 0) {
        return kReplyNotRead;
    }
    if (!read.ok()) {
        return read.refusal();
    }
    std::string text = read[0];
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    *agreement = text == "unknown" ? 1 : text == "agree" ? 2 : text == "disagree" ? 3 : 0;
    return kReplyOk;
}

int ParseDeviceStartJobResponse(Reply reply, PairList* pairs) {
    if (reply.data() == nullptr || pairs == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(reply, kDevicePrefix, {"ivec:jobID"});
    if (read.result != 0) {
        return kReplyNotRead;
    }
    if (read.response() == "NG") {
        return read.refusal();
    }
    AppendPairs(read, {"ivec:jobID"}, *pairs);
    return kReplyOk;
}

int ParseDeviceJobResponse(Reply reply, PairList* pairs) {
    return ParseOkJob(reply, kDevicePrefix, {"ivec:jobID"}, pairs);
}

bool ParseQelSupportService(Reply reply, std::uint8_t* service_kind) {
    if (reply.data() == nullptr || service_kind == nullptr) {
        return false;
    }
    const auto read = Read(reply, kQelPrefix, {"ivec:support_service"});
    if (read.result != 0 || !read.ok()) {
        return false;
    }
    if (Contains(read[0], "serviceA")) {
        *service_kind = 1;
        return true;
    }
    if (Contains(read[0], "serviceD")) {
        *service_kind = 2;
        return true;
    }
    return false;
}

int ParseQelConnectivityTest(Reply reply, std::uint8_t* state) {
    if (reply.data() == nullptr || state == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(reply, kQelPrefix, {"vvt:connectivity_test"});
    if (read.result != 0 || !read.ok()) {
        return kReplyOk;
    }
    static constexpr std::array<std::string_view, 7> kStates = {"none",
                                                                "confirming",
                                                                "success",
                                                                "server_error",
                                                                "not_connect_internet",
                                                                "connect_timeout",
                                                                "other_connect_error"};
    *state = 0;
    for (std::size_t i = 0; i < kStates.size(); ++i) {
        if (read[0] == kStates[i]) {
            *state = static_cast<std::uint8_t>(i);
        }
    }
    return kReplyOk;
}

int ParseQelStartJobResponse(Reply reply, PairList* pairs) {
    if (reply.data() == nullptr || pairs == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(reply, kQelPrefix, {"ivec:job_description", "vvt:ijdatakey4"});
    if (read.result != 0) {
        return kReplyNotRead;
    }
    // The printer refuses the unauthenticated start and sends its challenge.
    if (read.response() != "NG" || !read.detail().empty()) {
        return read.refusal();
    }
    AppendPairs(read, {"ivec:job_description", "vvt:ijdatakey4"}, *pairs);
    return kReplyOk;
}

int ParseQelStartJobAuthResponse(Reply reply, PairList* pairs) {
    return ParseOkJob(reply, kQelPrefix,
                      {"ivec:jobID", "ivec:job_description", "vvt:ijdatakey7", "vvt:ijdatakey8"},
                      pairs);
}

int ParseQelEndJobResponse(Reply reply, PairList* pairs) {
    return ParseOkJob(reply, kQelPrefix, {"ivec:jobID", "ivec:job_description"}, pairs);
}

int ParseQelReceiveDataResponse(Reply reply, std::string_view key_text, const PairList& job_pairs,
                                PairList* pairs, std::string* text) {
    if (reply.data() == nullptr || key_text.data() == nullptr || pairs == nullptr ||
        text == nullptr) {
        return kReplyNullArgument;
    }
    const auto read = Read(
        reply, kQelPrefix,
        {"ivec:jobID", "ivec:job_description", "ivec:format", "ivec:datasize", "vvt:ijdatakey6"});
    if (read.result != 0) {
        return kReplyNotRead;
    }
    if (!read.ok()) {
        return read.refusal();
    }
    AppendPairs(
        read,
        {"ivec:jobID", "ivec:job_description", "ivec:format", "ivec:datasize", "vvt:ijdatakey6"},
        *pairs);
    // The payload follows "</cmd>" and ends the reply.
    if (read.root_end == 0 || read.root_end > reply.size()) {
        return kReplyPayloadUnusable;
    }
    std::size_t size = 0;
    if (!PayloadSize(read[3], reply.size() - read.root_end, size)) {
        return kReplyPayloadUnusable;
    }
    const auto payload = std::as_bytes(reply.last(size));
    std::vector<char> plain(4096);
    if (crypto::DecryptResponsePayload(
            key_text, job_pairs,
            {reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()}, plain) != 0) {
        return kReplyPayloadUnusable;
    }
    *text = std::string(plain.data());
    return kReplyOk;
}

} // namespace vtqeldevc
