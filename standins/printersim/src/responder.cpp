#include "printersim/responder.h"

#include "command_handlers.h"
#include "reply_writer.h"
#include "xml_request_reader.h"

#include <windows.h>

namespace printersim {
namespace {

constexpr std::string_view kRootEnd = "</cmd>";

void apply_element(std::vector<ReplyNode>& params, const std::string& name,
                   const std::optional<std::string>& value) {
    for (auto it = params.begin(); it != params.end(); ++it) {
        if (it->name == name) {
            if (value) {
                it->text = *value;
                it->cdata = false;
            } else {
                params.erase(it);
            }
            return;
        }
    }
    if (value) {
        params.push_back(ReplyNode{name, *value, {}, {}, false});
    }
}

void pad(std::string& reply, std::size_t total, PadPlace place) {
    if (reply.size() >= total) {
        return;
    }
    const std::size_t missing = total - reply.size();
    if (place == PadPlace::AfterRoot) {
        reply.append(missing, ' ');
        return;
    }
    const auto root = reply.find("<cmd");
    const auto insert_at = root == std::string::npos ? 0 : reply.find('>', root) + 1;
    if (missing >= 8) {
        reply.insert(insert_at, "<!--" + std::string(missing - 7, 'x') + "-->");
    } else {
        reply.insert(insert_at, std::string(missing, ' '));
    }
}

} // namespace

PortPath port_path_from_url(std::wstring_view url) noexcept {
    if (url == kPort1Url) {
        return PortPath::Port1;
    }
    if (url == kPort2Url) {
        return PortPath::Port2;
    }
    return PortPath::Unspecified;
}

Responder::Responder(SharedPrinter& printer, const ProtocolTables& tables)
    : printer_(printer), tables_(tables), sleep_([](unsigned ms) { ::Sleep(ms); }) {}

void Responder::set_scenario(Scenario scenario) {
    std::lock_guard lock(mutex_);
    faults_.clear();
    for (auto& f : scenario.faults) {
        faults_.push_back(FaultState{f, 0});
    }
    scenario_ = std::move(scenario);
}

void Responder::set_sleep(SleepFn sleep) {
    std::lock_guard lock(mutex_);
    sleep_ = std::move(sleep);
}

std::vector<ExchangeRecord> Responder::history() const {
    std::lock_guard lock(mutex_);
    return history_;
}

void Responder::clear_history() {
    std::lock_guard lock(mutex_);
    history_.clear();
}

std::vector<ReplyFault> Responder::faults_for(const std::string& service,
                                              const std::string& operation) {
    std::vector<ReplyFault> out;
    for (auto& state : faults_) {
        const auto& f = state.fault;
        if ((!f.service.empty() && f.service != service) ||
            (!f.operation.empty() && f.operation != operation)) {
            continue;
        }
        const int index = state.seen++;
        if (index >= f.skip && (f.times < 0 || index < f.skip + f.times)) {
            out.push_back(f);
        }
    }
    return out;
}

std::string Responder::respond(PortPath port, std::string_view request) {
    // The payload of ReceiveData follows the document's end tag.
    const auto root_end = request.find(kRootEnd);
    const std::string_view xml = root_end == std::string_view::npos
                                     ? request
                                     : request.substr(0, root_end + kRootEnd.size());
    const std::string_view payload = root_end == std::string_view::npos
                                         ? std::string_view{}
                                         : request.substr(root_end + kRootEnd.size());

    const std::string common_ns = common_namespace(tables_);
    const std::string vendor_ns = vendor_namespace(tables_);
    const auto read = read_command_request(xml, common_ns, vendor_ns);

    Scenario scenario;
    {
        std::lock_guard lock(mutex_);
        scenario = scenario_;
    }
    CommandOutcome outcome;
    std::string service;
    std::string operation = read.operation;
    if (read.request) {
        service = read.request->service_type;
        operation = read.request->operation;
        outcome = printer_.with([&](PrinterModel& model) {
            return handle_command(model, tables_, scenario, port, *read.request, payload);
        });
    } else {
        outcome.response = "NG";
        outcome.detail = "ParameterError";
    }

    ExchangeRecord record{port,
                          service,
                          operation,
                          outcome.response,
                          outcome.detail,
                          outcome.application_data,
                          0,
                          std::string(request)};
    std::vector<ReplyFault> faults;
    SleepFn sleep;
    {
        std::lock_guard lock(mutex_);
        faults = faults_for(service, operation);
        sleep = sleep_;
    }

    std::vector<ReplyNode> params{ReplyNode{"ivec:response", outcome.response, {}, {}, false},
                                  ReplyNode{"ivec:response_detail", outcome.detail, {}, {}, false}};
    params.insert(params.end(), outcome.params.begin(), outcome.params.end());
    ReplyStyle style;
    bool corrupt = false;
    unsigned delay = 0;
    for (const auto& f : faults) {
        if (f.response) {
            apply_element(params, "ivec:response", f.response);
        }
        if (f.detail) {
            apply_element(params, "ivec:response_detail", f.detail);
        }
        for (const auto& [name, value] : f.elements) {
            apply_element(params, name, value);
        }
        if (f.namespaces != ReplyNamespaces::Usual) {
            style.namespaces = f.namespaces;
        }
        style.comments_with_gt = style.comments_with_gt || f.comments_with_gt;
        corrupt = corrupt || f.corrupt_payload;
        delay += f.delay_ms;
    }

    std::string reply =
        write_reply(operation + "Response", service, params, common_ns, vendor_ns, style);
    if (outcome.payload) {
        auto bytes = *outcome.payload;
        if (corrupt && !bytes.empty()) {
            bytes.back() ^= 0x5A;
            bytes.front() ^= 0xA5;
        }
        reply.append(bytes.begin(), bytes.end());
    }
    for (const auto& f : faults) {
        if (f.pad_to) {
            pad(reply, *f.pad_to, f.pad_place);
        }
        if (f.cut_to && reply.size() > *f.cut_to) {
            reply.resize(*f.cut_to);
        }
        if (f.cut_after) {
            if (const auto at = reply.find(*f.cut_after); at != std::string::npos) {
                reply.resize(at + f.cut_after->size());
            }
        }
        if (f.raw) {
            reply = *f.raw;
        }
    }

    record.reply_bytes = reply.size();
    {
        std::lock_guard lock(mutex_);
        history_.push_back(std::move(record));
    }
    if (delay > 0 && sleep) {
        sleep(delay);
    }
    return reply;
}

} // namespace printersim
