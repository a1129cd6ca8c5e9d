#include "printer_keys.h"

#include "fault_keys.h"
#include "oid.h"
#include "printer_oids.h"
#include "snmp_types.h"
#include "text_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace qelworld {

using namespace text;
using printersim::PrinterModel;

namespace {

template <std::string PrinterModel::*Field>
std::string SetModelText(WorldPrinter& p, std::string_view value) {
    std::string error;
    const auto text = TextOf(value, error);
    if (!text) {
        return error;
    }
    p.model->with([&](PrinterModel& m) { m.*Field = *text; });
    return {};
}
template <std::string PrinterModel::*Field> std::vector<std::string> GetModelText(WorldPrinter& p) {
    return {p.model->snapshot().*Field};
}

template <typename T, T PrinterModel::*Field, long long Low, long long High>
std::string SetModelNumber(WorldPrinter& p, std::string_view value) {
    const auto n = Number<T>(value, Low, High);
    if (!n) {
        return NumberError(value, Low, High);
    }
    p.model->with([&](PrinterModel& m) { m.*Field = *n; });
    return {};
}
template <typename T, T PrinterModel::*Field>
std::vector<std::string> GetModelNumber(WorldPrinter& p) {
    return {std::to_string(p.model->snapshot().*Field)};
}

template <bool PrinterModel::*Field>
std::string SetModelFlag(WorldPrinter& p, std::string_view value) {
    const auto flag = YesNo(value);
    if (!flag) {
        return "'" + std::string(value) + "' is neither yes nor no";
    }
    p.model->with([&](PrinterModel& m) { m.*Field = *flag; });
    return {};
}
template <bool PrinterModel::*Field> std::vector<std::string> GetModelFlag(WorldPrinter& p) {
    return {YesNoText(p.model->snapshot().*Field)};
}

// One field of one of the printer's network interfaces, made when missing.
template <std::string printersim::NetworkInterface::*Field>
std::string SetInterface(WorldPrinter& p, std::string_view id, std::string_view value) {
    std::string error;
    const auto text = TextOf(value, error);
    if (!text) {
        return error;
    }
    p.model->with([&](PrinterModel& m) {
        printersim::NetworkInterface* i = m.find_interface(std::string(id));
        if (i == nullptr) {
            m.interfaces.push_back({std::string(id), "", ""});
            i = &m.interfaces.back();
        }
        i->*Field = *text;
    });
    return {};
}
template <std::string printersim::NetworkInterface::*Field>
std::vector<std::string> GetInterface(WorldPrinter& p, std::string_view id) {
    const PrinterModel m = p.model->snapshot();
    const printersim::NetworkInterface* i = m.find_interface(std::string(id));
    return {i == nullptr ? std::string() : i->*Field};
}

// ---- Network ------------------------------------------------------------------------------

std::string AddAddress(WorldPrinter& p, std::string_view value, bool ipv6) {
    if (value == "none") {
        std::erase_if(p.addresses, [&](const NetAddress& a) { return a.ipv6 == ipv6; });
        return {};
    }
    const auto address = ParseAddress(value);
    if (!address || address->ipv6 != ipv6) {
        return "'" + std::string(value) + "' is no " + (ipv6 ? "IPv6" : "IPv4") + " address";
    }
    if (!p.HasAddress(*address)) {
        p.addresses.push_back(*address);
    }
    return {};
}
std::vector<std::string> Addresses(const WorldPrinter& p, bool ipv6) {
    std::vector<std::string> out;
    for (const NetAddress& a : p.addresses) {
        if (a.ipv6 == ipv6) {
            out.push_back(a.Display());
        }
    }
    return out;
}

std::string SetWifiAddress(WorldPrinter& p, std::string_view value) {
    const auto address = ParseAddress(value);
    if (!address) {
        return "'" + std::string(value) + "' is no address";
    }
    p.wifiAddress = address;
    return {};
}

std::string SetWifiSsid(WorldPrinter& p, std::string_view value) {
    std::string error;
    const auto ssid = TextOf(value, error);
    if (!ssid) {
        return error;
    }
    if (ssid->size() > 32) {
        return "a network name has at most 32 bytes";
    }
    p.wifi.ssid = *ssid;
    p.wifi.joined = !ssid->empty();
    if (vtwidussim::MibObject* o = p.usb.Find(vtwidussim::FullOid(vtwidussim::oids::kInfraSsid))) {
        o->value = vtwidussim::TextValue(*ssid);
    }
    return {};
}

// ---- USB ----------------------------------------------------------------------------------

std::string SetUsbPort(WorldPrinter& p, std::string_view value) {
    if (value.empty() || value.size() > 9 ||
        !std::all_of(value.begin(), value.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; })) {
        return "'" + std::string(value) + "' is no USB port name (letters and digits, at most 9)";
    }
    p.usbPort = std::string(value);
    return {};
}

std::string SetUsbLibraries(WorldPrinter& p, std::string_view value) {
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    bool wus = false;
    bool uns = false;
    for (const std::string& w : *words) {
        if (w == "vtwidwus") {
            wus = true;
        } else if (w == "vtwiduns") {
            uns = true;
        } else if (w != "none") {
            return "'" + w + "' is none of vtwidwus, vtwiduns, none";
        }
    }
    p.onVtwidwus = wus;
    p.onVtwiduns = uns;
    return {};
}
std::vector<std::string> GetUsbLibraries(WorldPrinter& p) {
    std::string out = p.onVtwidwus ? "vtwidwus" : "";
    if (p.onVtwiduns) {
        out += out.empty() ? "vtwiduns" : " vtwiduns";
    }
    return {out.empty() ? "none" : out};
}

// Bands of the infrastructure radio, as bits of the management object (2: 2.4 GHz, 4: 5 GHz).
std::string SetBands(WorldPrinter& p, std::string_view value) {
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    int bits = 0;
    for (const std::string& w : *words) {
        if (w == "2.4") {
            bits |= 2;
        } else if (w == "5") {
            bits |= 4;
        } else if (w != "none") {
            return "'" + w + "' is none of 2.4, 5, none";
        }
    }
    if (auto* o = p.usb.Find(vtwidussim::FullOid(vtwidussim::oids::kInfraBands))) {
        o->value = vtwidussim::IntegerValue(bits);
    }
    return {};
}
std::vector<std::string> GetBands(WorldPrinter& p) {
    const int bits = p.BandBits();
    std::string out = (bits & 2) != 0 ? "2.4" : "";
    if ((bits & 4) != 0) {
        out += out.empty() ? "5" : " 5";
    }
    return {out.empty() ? "none" : out};
}

// A station address from the network name, so an access point without one still has one.
vtwidussim::Bytes MadeUpBssid(std::string_view ssid) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : ssid) {
        h = (h ^ c) * 16777619u;
    }
    return {0x02,
            0x00,
            static_cast<std::uint8_t>(h >> 24),
            static_cast<std::uint8_t>(h >> 16),
            static_cast<std::uint8_t>(h >> 8),
            static_cast<std::uint8_t>(h)};
}

std::string AddAccessPoint(WorldPrinter& p, std::string_view value) {
    if (value == "none") {
        p.usb.ClearAccessPoints();
        return {};
    }
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    if (words->empty() || words->front().empty() || words->front().size() > 32) {
        return "an access point starts with its network name (1 to 32 bytes)";
    }
    vtwidussim::AccessPoint ap;
    ap.ssid = words->front();
    ap.signalLevel = -50;
    ap.channel = 6;
    ap.authentication = 7;
    ap.encryption = 4;
    ap.phyType = 4;
    for (std::size_t i = 1; i < words->size(); i += 2) {
        const std::string& name = (*words)[i];
        if (i + 1 >= words->size()) {
            return "'" + name + "' needs a value";
        }
        const std::string& v = (*words)[i + 1];
        if (name == "key") {
            ap.key = v;
            continue;
        }
        if (name == "bssid") {
            const std::string bad = "bssid '" + v + "' is not 1 to 6 hexadecimal bytes";
            if (v.empty() || v.size() % 2 != 0 || v.size() > 12) {
                return bad;
            }
            vtwidussim::Bytes bytes;
            for (std::size_t k = 0; k < v.size(); k += 2) {
                std::uint8_t b = 0;
                const auto [end, err] = std::from_chars(v.data() + k, v.data() + k + 2, b, 16);
                if (err != std::errc() || end != v.data() + k + 2) {
                    return bad;
                }
                bytes.push_back(b);
            }
            ap.bssid = std::move(bytes);
            continue;
        }
        int* field = name == "signal"       ? &ap.signalLevel
                     : name == "channel"    ? &ap.channel
                     : name == "auth"       ? &ap.authentication
                     : name == "encryption" ? &ap.encryption
                     : name == "phy"        ? &ap.phyType
                                            : nullptr;
        if (field == nullptr) {
            return "'" + name + "' is none of signal, channel, auth, encryption, phy, bssid, key";
        }
        const auto n = Number<int>(v, -1000, 1000);
        if (!n) {
            return NumberError(v, -1000, 1000);
        }
        *field = *n;
    }
    if (ap.bssid.empty()) {
        ap.bssid = MadeUpBssid(ap.ssid);
    }
    p.usb.AddAccessPoint(std::move(ap));
    return {};
}
std::vector<std::string> GetAccessPoints(WorldPrinter& p) {
    std::vector<std::string> out;
    for (const vtwidussim::AccessPoint& ap : p.usb.Environment()) {
        std::string bssid;
        for (std::uint8_t b : ap.bssid) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            bssid += kHex[b >> 4];
            bssid += kHex[b & 15];
        }
        std::string line = Quote(ap.ssid) + " signal " + std::to_string(ap.signalLevel) +
                           " channel " + std::to_string(ap.channel) + " auth " +
                           std::to_string(ap.authentication) + " encryption " +
                           std::to_string(ap.encryption) + " phy " + std::to_string(ap.phyType) +
                           " bssid " + bssid;
        if (!ap.key.empty()) {
            line += " key " + Quote(ap.key);
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::string SetChallenge(WorldPrinter& p, std::string_view value, bool answerAddress) {
    std::string error;
    const auto text = TextOf(value, error);
    if (!text) {
        return error;
    }
    std::optional<std::string>& field =
        answerAddress ? p.replies.answer_address : p.replies.challenge;
    field = text->empty() ? std::nullopt : std::optional<std::string>(*text);
    p.responder.set_scenario(p.replies);
    return {};
}

template <bool WorldPrinter::*Field> std::string SetFlag(WorldPrinter& p, std::string_view value) {
    const auto flag = YesNo(value);
    if (!flag) {
        return "'" + std::string(value) + "' is neither yes nor no";
    }
    p.*Field = *flag;
    return {};
}
template <bool WorldPrinter::*Field> std::vector<std::string> GetFlag(WorldPrinter& p) {
    return {YesNoText(p.*Field)};
}

constexpr std::pair<std::string_view, WorldPrinter::Internet> kInternetWords[] = {
    {"yes", WorldPrinter::Internet::Yes},
    {"no", WorldPrinter::Internet::No},
    {"with-network", WorldPrinter::Internet::WithNetwork},
};

std::string SetInternet(WorldPrinter& p, std::string_view value) {
    for (const auto& [word, internet] : kInternetWords) {
        if (value == word) {
            p.internet = internet;
            return {};
        }
    }
    return "'" + std::string(value) + "' is none of yes, no, with-network";
}

std::vector<std::string> GetInternet(WorldPrinter& p) {
    for (const auto& [word, internet] : kInternetWords) {
        if (p.internet == internet) {
            return {std::string(word)};
        }
    }
    return {};
}

const PrinterKey kPrinterKeys[] = {
    {"model", SetModelText<&PrinterModel::model>, GetModelText<&PrinterModel::model>},
    {"serial", SetModelText<&PrinterModel::serial>, GetModelText<&PrinterModel::serial>},
    {"region", SetModelText<&PrinterModel::region>, GetModelText<&PrinterModel::region>},
    {"services", SetModelText<&PrinterModel::services>, GetModelText<&PrinterModel::services>},
    {"qel-service", SetModelText<&PrinterModel::qel_support_service>,
     GetModelText<&PrinterModel::qel_support_service>},
    {"agreement", SetModelText<&PrinterModel::agreement>, GetModelText<&PrinterModel::agreement>},
    {"agreement-choices", SetModelText<&PrinterModel::agreement_choices>,
     GetModelText<&PrinterModel::agreement_choices>},
    {"set-configuration-without-job",
     SetModelFlag<&PrinterModel::offers_set_configuration_without_job>,
     GetModelFlag<&PrinterModel::offers_set_configuration_without_job>},
    {"host-application-id-range", SetModelText<&PrinterModel::host_application_id_range>,
     GetModelText<&PrinterModel::host_application_id_range>},
    {"requires-host-application-id", SetModelFlag<&PrinterModel::requires_host_application_id>,
     GetModelFlag<&PrinterModel::requires_host_application_id>},
    {"host-application-id", SetModelText<&PrinterModel::host_application_id>,
     GetModelText<&PrinterModel::host_application_id>},
    {"connectivity-test", SetModelText<&PrinterModel::connectivity_test>,
     GetModelText<&PrinterModel::connectivity_test>},
    {"connectivity-confirming-polls",
     SetModelNumber<int, &PrinterModel::connectivity_confirming_polls, 0, 1000000>,
     GetModelNumber<int, &PrinterModel::connectivity_confirming_polls>},
    {"registered-id", SetModelText<&PrinterModel::registered_id>,
     GetModelText<&PrinterModel::registered_id>},
    {"registered-status", SetModelText<&PrinterModel::registered_status>,
     GetModelText<&PrinterModel::registered_status>},
    {"unregistered-id", SetModelText<&PrinterModel::unregistered_id>,
     GetModelText<&PrinterModel::unregistered_id>},
    {"service-id", SetModelText<&PrinterModel::service_id>,
     GetModelText<&PrinterModel::service_id>},
    {"server-url", SetModelText<&PrinterModel::server_url>,
     GetModelText<&PrinterModel::server_url>},
    {"refresh-token", SetModelText<&PrinterModel::refresh_token>,
     GetModelText<&PrinterModel::refresh_token>},
    {"access-token", SetModelText<&PrinterModel::access_token>,
     GetModelText<&PrinterModel::access_token>},
    {"next-printer-id", SetModelText<&PrinterModel::next_printer_id>,
     GetModelText<&PrinterModel::next_printer_id>},
    {"upper-case-job-digest", SetModelFlag<&PrinterModel::upper_case_job_digest>,
     GetModelFlag<&PrinterModel::upper_case_job_digest>},
    {"cipher-mode", SetModelNumber<std::uint32_t, &PrinterModel::cipher_mode, 0, 0xFFFFFFFFLL>,
     GetModelNumber<std::uint32_t, &PrinterModel::cipher_mode>},
    {"cipher-selector",
     SetModelNumber<std::uint32_t, &PrinterModel::cipher_selector, 0, 0xFFFFFFFFLL>,
     GetModelNumber<std::uint32_t, &PrinterModel::cipher_selector>},
    {"wired-mac",
     [](WorldPrinter& p, std::string_view v) {
         return SetInterface<&printersim::NetworkInterface::hwaddress>(p, "wired0", v);
     },
     [](WorldPrinter& p) {
         return GetInterface<&printersim::NetworkInterface::hwaddress>(p, "wired0");
     }},
    {"wireless-mac",
     [](WorldPrinter& p, std::string_view v) {
         return SetInterface<&printersim::NetworkInterface::hwaddress>(p, "wireless0", v);
     },
     [](WorldPrinter& p) {
         return GetInterface<&printersim::NetworkInterface::hwaddress>(p, "wireless0");
     }},
    {"wireless-method",
     [](WorldPrinter& p, std::string_view v) {
         return SetInterface<&printersim::NetworkInterface::communication_method>(p, "wireless0",
                                                                                  v);
     },
     [](WorldPrinter& p) {
         return GetInterface<&printersim::NetworkInterface::communication_method>(p, "wireless0");
     }},
    {"ipv4", [](WorldPrinter& p, std::string_view v) { return AddAddress(p, v, false); },
     [](WorldPrinter& p) { return Addresses(p, false); }},
    {"ipv6", [](WorldPrinter& p, std::string_view v) { return AddAddress(p, v, true); },
     [](WorldPrinter& p) { return Addresses(p, true); }},
    {"searchable", SetFlag<&WorldPrinter::searchable>, GetFlag<&WorldPrinter::searchable>},
    {"queue",
     [](WorldPrinter& p, std::string_view v) -> std::string {
         std::string error;
         const auto name = TextOf(v, error);
         if (!name) {
             return error;
         }
         if (*name == "none") {
             p.queues.clear();
         } else if (name->empty() || name->size() > 255) {
             return "a queue name has 1 to 255 bytes";
         } else if (!p.HasQueue(*name)) {
             p.queues.push_back(*name);
         }
         return {};
     },
     [](WorldPrinter& p) { return p.queues; }},
    {"wifi-address", SetWifiAddress,
     [](WorldPrinter& p) {
         return std::vector<std::string>{p.wifiAddress ? p.wifiAddress->Display() : ""};
     }},
    {"joins-wifi", SetFlag<&WorldPrinter::joinsWifi>, GetFlag<&WorldPrinter::joinsWifi>},
    {"internet", SetInternet, GetInternet},
    {"wifi-ssid", SetWifiSsid,
     [](WorldPrinter& p) { return std::vector<std::string>{p.wifi.ssid}; }},
    {"usb-port", SetUsbPort, [](WorldPrinter& p) { return std::vector<std::string>{p.usbPort}; }},
    {"usb", SetUsbLibraries, GetUsbLibraries},
    {"plugged", SetFlag<&WorldPrinter::plugged>, GetFlag<&WorldPrinter::plugged>},
    {"bands", SetBands, GetBands},
    {"ap", AddAccessPoint, GetAccessPoints},
    {"piece-size",
     [](WorldPrinter& p, std::string_view v) -> std::string {
         const auto n = Number<std::size_t>(v, 1, 65536);
         if (!n) {
             return NumberError(v, 1, 65536);
         }
         p.port.pieceSize = *n;
         return {};
     },
     [](WorldPrinter& p) { return std::vector<std::string>{std::to_string(p.port.pieceSize)}; }},
    {"no-data-reads",
     [](WorldPrinter& p, std::string_view v) -> std::string {
         const auto n = Number<int>(v, 0, 1000000);
         if (!n) {
             return NumberError(v, 0, 1000000);
         }
         p.port.noDataReads = *n;
         return {};
     },
     [](WorldPrinter& p) { return std::vector<std::string>{std::to_string(p.port.noDataReads)}; }},
    {"reply-delay-ms",
     [](WorldPrinter& p, std::string_view v) -> std::string {
         const auto n = Number<unsigned>(v, 0, 600000);
         if (!n) {
             return NumberError(v, 0, 600000);
         }
         p.port.replyDelayMs = *n;
         return {};
     },
     [](WorldPrinter& p) { return std::vector<std::string>{std::to_string(p.port.replyDelayMs)}; }},
    {"fault", [](WorldPrinter& p, std::string_view v) { return AddFault(p.faults, v); },
     [](WorldPrinter& p) { return FaultLines(p.faults); }},
    {"reply-fault", AddReplyFault, [](WorldPrinter& p) { return p.replyFaultLines; }},
    {"challenge", [](WorldPrinter& p, std::string_view v) { return SetChallenge(p, v, false); },
     [](WorldPrinter& p) { return std::vector<std::string>{p.replies.challenge.value_or("")}; }},
    {"answer-address", [](WorldPrinter& p, std::string_view v) { return SetChallenge(p, v, true); },
     [](WorldPrinter& p) {
         return std::vector<std::string>{p.replies.answer_address.value_or("")};
     }},
};

} // namespace

const PrinterKey* FindPrinterKey(std::string_view name) {
    for (const PrinterKey& k : kPrinterKeys) {
        if (k.name == name) {
            return &k;
        }
    }
    return nullptr;
}

} // namespace qelworld
