// One simulated printer: what it is, what it has stored and which jobs it has open. Every face of
// the simulator (the XML command responder here; the management objects over USB and the port and
// search stand-ins elsewhere) reads and changes the same model through a SharedPrinter, so a
// change made through one face shows through the others. The model needs nothing of Windows:
// link printersim_model alone to share it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace printersim {

struct NetworkInterface {
    std::string id;                   // "wired0", "wireless0", "wireless1", "wireless2"
    std::string hwaddress;            // as the printer reports it, e.g. "00:1b:a9:3c:00:01"
    std::string communication_method; // wireless only: "infrastructure_mode", "wifi_direct", ...
};

// The qel job: a challenge handed out, then an authenticated job with its identifiers.
struct QelJobState {
    bool challenged = false;
    std::string challenge;
    std::string job_description;
    bool open = false;
    std::string job_id;
};

struct DeviceJobState {
    bool open = false;
    std::string job_id;
};

struct PrinterModel {
    // Identity.
    std::string model = "VT-X100 Series";
    std::string serial = "5A3X01234";
    std::string region = "1"; // vvt:pdr
    std::vector<NetworkInterface> interfaces{
        {"wired0", "", ""},
        {"wireless0", "00:1B:A9:3C:00:01", "infrastructure_mode"},
    };

    // Services offered: ivec:service of the device capability and ivec:support_service of qel.
    std::string services = "device qel";
    std::string qel_support_service = "serviceA";

    // Web-service agreement: "unknown", "agree" or "disagree".
    std::string agreement = "unknown";
    // What the capability lists for SetConfigurationWithoutStartJob; the element is left out
    // when the printer lacks the operation.
    bool offers_set_configuration_without_job = true;
    std::string agreement_choices = "agree disagree";
    std::string host_application_id_range = "0000-9999";
    bool requires_host_application_id = false;
    std::string host_application_id; // as last recorded

    // Connectivity test: reported as "confirming" while polls remain, then this text.
    std::string connectivity_test = "none";
    int connectivity_confirming_polls = 0;
    // Whether the printer reaches the cloud. Without it the connectivity test ends in
    // "not_connect_internet" and an identity cannot be created.
    bool reaches_internet = true;

    // Registered identity and what create_id stored.
    std::string registered_id;
    std::string unregistered_id;
    // How id_status names the registered ID's state.
    std::string registered_status = "registered";
    std::string service_id;
    std::string server_url;
    std::string refresh_token;
    std::string access_token;
    std::string next_printer_id = "VTP-0001-AAAA-0001";

    // Cipher of the qel job's application data (vvt:ijdatakey7).
    std::uint32_t cipher_mode = 4;
    std::uint32_t cipher_selector = 3;
    // vvt:ijdatakey8 written in upper-case digits (hosts compare it without regard to case).
    bool upper_case_job_digest = false;

    // Jobs and the generators of their identifiers.
    QelJobState qel_job;
    DeviceJobState device_job;
    std::uint32_t next_job_number = 0x2A;
    std::uint32_t challenge_seed = 20081;

    // The address that keys the qel job: wired0 when it has one, else the first wireless interface
    // in infrastructure mode (wireless0, wireless1, wireless2 in this order); empty when none.
    std::string key_address() const;
    // The first infrastructure-mode wireless address, empty when none.
    std::string wireless_address() const;
    const NetworkInterface* find_interface(const std::string& id) const;
    NetworkInterface* find_interface(const std::string& id);
};

// A model with the lock that its faces take while they read or change it.
class SharedPrinter {
public:
    SharedPrinter() = default;
    explicit SharedPrinter(PrinterModel model) : model_(std::move(model)) {}

    // Runs f(PrinterModel&) under the lock and returns what it returns.
    template <typename F> decltype(auto) with(F&& f) {
        std::lock_guard lock(mutex_);
        return std::forward<F>(f)(model_);
    }
    PrinterModel snapshot() const {
        std::lock_guard lock(mutex_);
        return model_;
    }

private:
    mutable std::mutex mutex_;
    PrinterModel model_;
};

} // namespace printersim
