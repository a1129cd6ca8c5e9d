#include "command_handlers.h"

#include <cctype>
#include <cstdio>
#include <random>

namespace printersim {
namespace {

ReplyNode text_node(std::string name, std::string text) {
    return ReplyNode{std::move(name), std::move(text), {}, {}, false};
}
ReplyNode cdata_node(std::string name, std::string text) {
    return ReplyNode{std::move(name), std::move(text), {}, {}, true};
}

CommandOutcome ng(std::string detail) {
    CommandOutcome o;
    o.response = "NG";
    o.detail = std::move(detail);
    return o;
}

std::string param_or_empty(const CommandRequest& r, std::string_view name) {
    const auto* v = r.param(name);
    return v ? *v : std::string{};
}

bool is_plain_decimal(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string format_job_id(std::uint32_t n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08u", static_cast<unsigned>(n % 100000000u));
    return buf;
}

std::string key7_text(const PrinterModel& p) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%08x%08x", static_cast<unsigned>(p.cipher_mode),
                  static_cast<unsigned>(p.cipher_selector));
    return buf;
}

std::string make_challenge(PrinterModel& p) {
    std::mt19937 rng(p.challenge_seed++);
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < 32; ++i) {
        out.push_back(digits[rng() % 16]);
    }
    return out;
}

bool has_service(const PrinterModel& p, std::string_view name) {
    return p.services.find(name) != std::string::npos;
}

bool valid_agreement(std::string_view v) {
    return v == "agree" || v == "disagree";
}

// --- device service ---------------------------------------------------------------------------

CommandOutcome device_get_capability(const PrinterModel& p) {
    CommandOutcome o;
    o.params.push_back(text_node("ivec:model", p.model));
    o.params.push_back(text_node("ivec:product_serialnumber", p.serial));
    o.params.push_back(text_node("vvt:pdr", p.region));
    o.params.push_back(text_node("ivec:service", p.services));
    if (p.offers_set_configuration_without_job) {
        ReplyNode op{"vvt:SetConfigurationWithoutStartJob", {}, {}, {}, false};
        op.children.push_back(text_node("vvt:webservice_agreement", p.agreement_choices));
        op.children.push_back(text_node("vvt:host_application_id", p.host_application_id_range));
        o.params.push_back(std::move(op));
    }
    return o;
}

CommandOutcome device_get_status(const PrinterModel& p) {
    CommandOutcome o;
    ReplyNode network{"ivec:network_interface", {}, {}, {}, false};
    for (const auto& i : p.interfaces) {
        ReplyNode set{"ivec:interface_set", {}, {{"id", i.id}}, {}, false};
        if (i.id.rfind("wireless", 0) == 0) {
            ReplyNode method{"vvt:communication_method", {}, {}, {}, false};
            method.children.push_back(text_node("vvt:item", i.communication_method));
            set.children.push_back(std::move(method));
        }
        ReplyNode ip{"ivec:ip", {}, {}, {}, false};
        ip.children.push_back(text_node("ivec:hwaddress", i.hwaddress));
        set.children.push_back(std::move(ip));
        network.children.push_back(std::move(set));
    }
    o.params.push_back(std::move(network));
    return o;
}

CommandOutcome device_get_configuration(const PrinterModel& p) {
    CommandOutcome o;
    o.params.push_back(text_node("vvt:webservice_agreement", p.agreement));
    return o;
}

CommandOutcome device_start_job(PrinterModel& p) {
    if (p.device_job.open || p.qel_job.open) {
        return ng("DeviceUseOtherJob");
    }
    p.device_job.open = true;
    p.device_job.job_id = format_job_id(p.next_job_number++);
    CommandOutcome o;
    o.params.push_back(text_node("ivec:jobID", p.device_job.job_id));
    return o;
}

// Checks the jobID of a request inside the device job.
std::optional<CommandOutcome> check_device_job(const PrinterModel& p, const CommandRequest& r) {
    if (!p.device_job.open) {
        return ng("NotStart");
    }
    if (param_or_empty(r, "ivec:jobID") != p.device_job.job_id) {
        return ng("IllegalJobID");
    }
    return std::nullopt;
}

CommandOutcome device_set_configuration(PrinterModel& p, const CommandRequest& r) {
    if (auto refused = check_device_job(p, r)) {
        return *refused;
    }
    const auto* agreement = r.param("vvt:webservice_agreement");
    if (agreement == nullptr || !valid_agreement(*agreement)) {
        return ng("ParameterError");
    }
    p.agreement = *agreement;
    CommandOutcome o;
    o.params.push_back(text_node("ivec:jobID", p.device_job.job_id));
    return o;
}

CommandOutcome device_end_job(PrinterModel& p, const CommandRequest& r) {
    if (auto refused = check_device_job(p, r)) {
        return *refused;
    }
    CommandOutcome o;
    o.params.push_back(text_node("ivec:jobID", p.device_job.job_id));
    p.device_job = {};
    return o;
}

CommandOutcome device_vendor_cmd(PrinterModel& p, const CommandRequest& r) {
    if (param_or_empty(r, "vvt:ijoperation") != "SetConfigurationWithoutStartJob" ||
        !p.offers_set_configuration_without_job) {
        return ng("NotSupportOperation");
    }
    if (p.device_job.open || p.qel_job.open) {
        return ng("DeviceUseOtherJob");
    }
    const auto* agreement = r.param("vvt:webservice_agreement");
    if (agreement == nullptr || !valid_agreement(*agreement)) {
        return ng("ParameterError");
    }
    const auto* host_id = r.param("vvt:host_application_id");
    if (host_id == nullptr && p.requires_host_application_id) {
        return ng("ParameterError");
    }
    p.agreement = *agreement;
    if (host_id != nullptr) {
        p.host_application_id = *host_id;
    }
    return {};
}

// --- qel service ------------------------------------------------------------------------------

CommandOutcome qel_get_capability(const PrinterModel& p) {
    CommandOutcome o;
    o.params.push_back(text_node("ivec:support_service", p.qel_support_service));
    return o;
}

CommandOutcome qel_get_status(PrinterModel& p) {
    CommandOutcome o;
    std::string state = p.reaches_internet ? p.connectivity_test : "not_connect_internet";
    if (p.connectivity_confirming_polls > 0) {
        --p.connectivity_confirming_polls;
        state = "confirming";
    }
    o.params.push_back(text_node("vvt:connectivity_test", state));
    return o;
}

CommandOutcome qel_start_job(PrinterModel& p, const ProtocolTables& tables,
                             const Scenario& scenario, const CommandRequest& r) {
    if (p.qel_job.open || p.device_job.open) {
        return ng("DeviceUseOtherJob");
    }
    const std::string job_description = param_or_empty(r, "ivec:job_description");
    if (job_description.empty()) {
        return ng("ParameterError");
    }
    if (r.param("vvt:ijdatakey2") == nullptr) {
        // First start: refuse it and hand out the challenge.
        if (param_or_empty(r, "vvt:ijdatakey3") != kStartJobKey3) {
            return ng("AuthenticationError");
        }
        p.qel_job = {};
        p.qel_job.challenged = true;
        p.qel_job.challenge = scenario.challenge ? *scenario.challenge : make_challenge(p);
        p.qel_job.job_description = job_description;
        CommandOutcome o = ng("");
        o.params.push_back(cdata_node("ivec:job_description", job_description));
        o.params.push_back(text_node("vvt:ijdatakey4", p.qel_job.challenge));
        return o;
    }
    // Authenticated start: one try per challenge.
    const QelJobState pending = std::exchange(p.qel_job, QelJobState{});
    if (!pending.challenged || pending.job_description != job_description ||
        param_or_empty(r, "vvt:ijdatakey1") != "ADMIN") {
        return ng("AuthenticationError");
    }
    const std::string address =
        scenario.answer_address ? *scenario.answer_address : p.key_address();
    const auto expected =
        crypto::challenge_answer(tables, address, pending.challenge, job_description);
    if (!expected || *expected != param_or_empty(r, "vvt:ijdatakey2")) {
        return ng("AuthenticationError");
    }
    p.qel_job.open = true;
    p.qel_job.job_description = job_description;
    p.qel_job.job_id = format_job_id(p.next_job_number++);
    const std::string key7 = key7_text(p);
    auto key8 = crypto::job_digest(job_description, p.qel_job.job_id, key7);
    if (key8 && p.upper_case_job_digest) {
        for (char& c : *key8) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (!key8) {
        p.qel_job = {};
        return ng("AuthenticationError");
    }
    CommandOutcome o;
    o.params.push_back(text_node("ivec:jobID", p.qel_job.job_id));
    o.params.push_back(cdata_node("ivec:job_description", job_description));
    o.params.push_back(text_node("vvt:ijdatakey7", key7));
    o.params.push_back(text_node("vvt:ijdatakey8", *key8));
    return o;
}

std::optional<CommandOutcome> check_qel_job(const PrinterModel& p, const CommandRequest& r) {
    if (!p.qel_job.open) {
        return ng("NotStart");
    }
    if (param_or_empty(r, "ivec:jobID") != p.qel_job.job_id ||
        param_or_empty(r, "ivec:job_description") != p.qel_job.job_description) {
        return ng("IllegalJobID");
    }
    return std::nullopt;
}

const std::string* find_value(const std::vector<std::pair<std::string, std::string>>& values,
                              std::string_view name) {
    for (const auto& [k, v] : values) {
        if (k == name) {
            return &v;
        }
    }
    return nullptr;
}

// The application data that answers one request document; nothing when the request is unusable.
std::optional<std::string>
answer_application_data(PrinterModel& p, const std::string& format,
                        const std::vector<std::pair<std::string, std::string>>& values) {
    const auto* version = find_value(values, "format_version");
    if (version == nullptr || *version != "1.00") {
        return std::nullopt;
    }
    std::string body = "<application_data><format_version>1.00</format_version>";
    if (format == "get_id") {
        body += "<unregister_id>" + xml_escape(p.unregistered_id) + "</unregister_id>";
        body += "<register_id>" + xml_escape(p.registered_id) + "</register_id>";
    } else if (format == "id_status") {
        const auto* id = find_value(values, "printer_id");
        if (id == nullptr) {
            return std::nullopt;
        }
        std::string status = "unknown";
        if (!id->empty() && *id == p.registered_id) {
            status = p.registered_status;
        } else if (!id->empty() && *id == p.unregistered_id) {
            status = "unregistered";
        }
        body += "<printer_id>" + xml_escape(*id) + "</printer_id>";
        body += "<id_status>" + status + "</id_status>";
        body += "<serviceID>" + xml_escape(p.service_id) + "</serviceID>";
    } else if (format == "create_id") {
        const auto* url = find_value(values, "server_url");
        const auto* refresh = find_value(values, "refresh_token");
        const auto* access = find_value(values, "access_token");
        const auto* service = find_value(values, "service_id");
        if (!url || !refresh || !access || !service) {
            return std::nullopt;
        }
        p.server_url = *url;
        p.refresh_token = *refresh;
        p.access_token = *access;
        p.service_id = *service;
        p.unregistered_id = p.next_printer_id;
        body += "<printer_id>" + xml_escape(p.unregistered_id) + "</printer_id>";
    } else {
        return std::nullopt;
    }
    body += "</application_data>";
    return body;
}

CommandOutcome qel_receive_data(PrinterModel& p, const ProtocolTables& tables,
                                const CommandRequest& r, std::string_view payload_text) {
    if (auto refused = check_qel_job(p, r)) {
        return *refused;
    }
    const crypto::Bytes payload(payload_text.begin(), payload_text.end());
    const std::string size_text = param_or_empty(r, "ivec:datasize");
    if (!is_plain_decimal(size_text) || std::stoul(size_text) != payload.size()) {
        return ng("ParameterError");
    }
    const auto digest = crypto::payload_digest(payload);
    if (!digest || !equal_ignoring_case(*digest, param_or_empty(r, "vvt:ijdatakey6"))) {
        return ng("ParameterError");
    }
    const std::string address = p.key_address();
    const auto plain =
        crypto::cipher_payload(tables, false, address, p.cipher_mode, p.cipher_selector, payload);
    if (!plain) {
        return ng("ParameterError");
    }
    const std::string text(plain->begin(), plain->end());
    const std::string format = param_or_empty(r, "ivec:format");
    if (format == "create_id" && !p.reaches_internet) {
        // The printer asks the cloud for its new identity.
        CommandOutcome refused = ng("NotConnectInternet");
        refused.application_data = text;
        return refused;
    }
    const auto values = read_application_data(text);
    std::optional<std::string> answer;
    if (values) {
        answer = answer_application_data(p, format, *values);
    }
    if (!answer) {
        CommandOutcome refused = ng("ParameterError");
        refused.application_data = text;
        return refused;
    }
    const crypto::Bytes answer_bytes(answer->begin(), answer->end());
    auto ciphered = crypto::cipher_payload(tables, true, address, p.cipher_mode, p.cipher_selector,
                                           answer_bytes);
    const auto answer_digest = ciphered ? crypto::payload_digest(*ciphered) : std::nullopt;
    if (!answer_digest) {
        return ng("ParameterError");
    }
    CommandOutcome o;
    o.application_data = text;
    o.params.push_back(text_node("ivec:jobID", p.qel_job.job_id));
    o.params.push_back(cdata_node("ivec:job_description", p.qel_job.job_description));
    o.params.push_back(text_node("ivec:format", format));
    o.params.push_back(text_node("ivec:datasize", std::to_string(ciphered->size())));
    o.params.push_back(text_node("vvt:ijdatakey6", *answer_digest));
    o.payload = std::move(ciphered);
    return o;
}

CommandOutcome qel_end_job(PrinterModel& p, const CommandRequest& r) {
    if (auto refused = check_qel_job(p, r)) {
        return *refused;
    }
    CommandOutcome o;
    o.params.push_back(text_node("ivec:jobID", p.qel_job.job_id));
    o.params.push_back(cdata_node("ivec:job_description", p.qel_job.job_description));
    p.qel_job = {};
    return o;
}

bool is_qel_job_operation(const std::string& op) {
    return op == "StartJob" || op == "ReceiveData" || op == "EndJob";
}

} // namespace

CommandOutcome handle_command(PrinterModel& p, const ProtocolTables& tables,
                              const Scenario& scenario, PortPath port, const CommandRequest& r,
                              std::string_view payload) {
    const std::string& op = r.operation;
    if (r.service_type == "device") {
        if (port == PortPath::Port2) {
            return ng("NotSupportService");
        }
        if (op == "GetCapability") {
            return device_get_capability(p);
        }
        if (op == "GetStatus") {
            return device_get_status(p);
        }
        if (op == "GetConfiguration") {
            return device_get_configuration(p);
        }
        if (op == "StartJob") {
            return device_start_job(p);
        }
        if (op == "SetConfiguration") {
            return device_set_configuration(p, r);
        }
        if (op == "EndJob") {
            return device_end_job(p, r);
        }
        if (op == "VendorCmd") {
            return device_vendor_cmd(p, r);
        }
        return ng("NotSupportOperation");
    }
    if (r.service_type == "qel") {
        if (!has_service(p, "qel")) {
            return ng("NotSupportService");
        }
        if (port == PortPath::Port1 && is_qel_job_operation(op)) {
            return ng("NotSupportOperation");
        }
        if (op == "GetCapability") {
            return qel_get_capability(p);
        }
        if (op == "GetStatus") {
            return qel_get_status(p);
        }
        if (op == "StartJob") {
            return qel_start_job(p, tables, scenario, r);
        }
        if (op == "ReceiveData") {
            return qel_receive_data(p, tables, r, payload);
        }
        if (op == "EndJob") {
            return qel_end_job(p, r);
        }
        return ng("NotSupportOperation");
    }
    return ng("NotSupportService");
}

} // namespace printersim
