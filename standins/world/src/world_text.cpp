#include "world_text.h"

#include "oid.h"
#include "printer_oids.h"
#include "snmp_types.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <set>

namespace qelworld {

namespace {

constexpr std::size_t kMaxTextBytes = 1 << 20;
constexpr std::size_t kMaxLineBytes = 4096;
constexpr std::size_t kMaxPrinters = 256;
constexpr std::size_t kMaxNameBytes = 64;

using printersim::PrinterModel;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Blank-separated words; "double quotes" keep blanks, and \" and \\ stand for themselves
// inside them.
std::optional<std::vector<std::string>> Words(std::string_view text, std::string& error) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        if (i == text.size()) {
            return words;
        }
        std::string word;
        if (text[i] == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                const char c = text[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < text.size() && (text[i] == '"' || text[i] == '\\')) {
                    word += text[i++];
                } else {
                    word += c;
                }
            }
            if (!closed) {
                error = "a quoted text is not closed";
                return std::nullopt;
            }
            if (i < text.size() && text[i] != ' ' && text[i] != '\t') {
                error = "a quoted text runs into other text";
                return std::nullopt;
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
                word += text[i++];
            }
        }
        words.push_back(std::move(word));
    }
}

std::string Quote(std::string_view text) {
    const bool plain = !text.empty() && text.find_first_of(" \t\"\\") == std::string_view::npos;
    if (plain) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

// A text value: the rest of the line, or one quoted text.
std::optional<std::string> TextOf(std::string_view value, std::string& error) {
    if (value.empty() || value.front() != '"') {
        return std::string(value);
    }
    auto words = Words(value, error);
    if (!words) {
        return std::nullopt;
    }
    if (words->size() != 1) {
        error = "text after the quoted value";
        return std::nullopt;
    }
    return std::move(words->front());
}

template <typename T>
std::optional<T> Number(std::string_view text, long long low, long long high) {
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < low ||
        n > high) {
        return std::nullopt;
    }
    return static_cast<T>(n);
}

std::string NumberError(std::string_view text, long long low, long long high) {
    return "'" + std::string(text) + "' is not a number from " + std::to_string(low) + " to " +
           std::to_string(high);
}

std::optional<bool> YesNo(std::string_view text) {
    if (text == "yes") {
        return true;
    }
    if (text == "no") {
        return false;
    }
    return std::nullopt;
}

const char* YesNoText(bool value) {
    return value ? "yes" : "no";
}

// ---- Keys of the printer model ------------------------------------------------------------

using Apply = std::string (*)(WorldPrinter&, std::string_view);
using Read = std::vector<std::string> (*)(WorldPrinter&);

struct PrinterKey {
    std::string_view name;
    Apply apply;
    Read read;
};

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
int BandBits(WorldPrinter& p) {
    const auto* o = p.usb.Find(vtwidussim::FullOid(vtwidussim::oids::kInfraBands));
    if (o == nullptr) {
        return 0;
    }
    return vtwidussim::DecodeSigned(o->value.bytes.data(), o->value.bytes.size()).value_or(0);
}
std::vector<std::string> GetBands(WorldPrinter& p) {
    const int bits = BandBits(p);
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

// ---- Faults -------------------------------------------------------------------------------

struct FaultEntry {
    std::string_view entry;
    std::initializer_list<std::string_view> words;
    bool numbers;
};

// Every entry of the port, device and search libraries; a fault names one of them.
const FaultEntry kFaultEntries[] = {
    {"pu2Open", {"fail"}, false},
    {"pu2Close", {"fail"}, true},
    {"pu2SetIF", {"fail"}, true},
    {"pu2SetIP", {"fail"}, true},
    {"pu2SetPrinterName", {"fail"}, true},
    {"pu2SetUrl", {"fail"}, true},
    {"pu2SetTimeout", {"fail"}, true},
    {"pu2SetMasterPortOption", {"fail"}, true},
    {"pu2SetEventType", {"fail"}, true},
    {"pu2SetCommandType", {"fail"}, true},
    {"pu2SetEventBufferSize", {"fail"}, true},
    {"pu2Write", {"fail"}, true},
    {"pu2Read", {"fail"}, true},
    {"puOpen", {"fail"}, false},
    {"puOpenPort", {"fail"}, false},
    {"puClose", {"fail"}, false},
    {"puDeviceID", {"fail"}, false},
    {"puWrite", {"fail", "stale"}, false},
    {"puRead", {"fail", "fail-close", "empty"}, false},
    {"pulowWorkingPort", {"fail", "none", "no-trailing-backslash"}, false},
    {"VTWIDUNS_CreateInstance", {"fail"}, false},
    {"VTWIDUNS_OptSetting", {"fail"}, true},
    {"VTWIDUNS_Search", {"fail"}, true},
    {"VTWIDUNS_GetDeviceId", {"fail"}, true},
    {"VTWIDUNS_CommStart", {"fail"}, true},
    {"VTWIDUNS_CommEnd", {"fail"}, true},
    {"VTWIDUNS_GetInfo", {"fail"}, true},
    {"VTWIDUNS_SetInfo", {"fail"}, true},
    {"VTWIDUNS_Control", {"fail"}, true},
    {"VTWIDUNS_CommEndNotUnLock", {"fail"}, true},
    {"VTWIDUNS_UnLock", {"fail"}, true},
    {"VTWNSCH_CreateInstance", {"fail"}, false},
    {"VTWNSCH_OptSetting", {"fail"}, true},
    {"VTWNSCH_Search", {"fail"}, true},
    {"VTWNSCH_SearchByIpv6", {"fail"}, true},
    {"VTWNSCH_CancelSearch", {"fail"}, true},
    {"VTWNSCH_EnumSearchInfo", {"fail"}, true},
};

const FaultEntry* FindFaultEntry(std::string_view entry) {
    for (const FaultEntry& e : kFaultEntries) {
        if (e.entry == entry) {
            return &e;
        }
    }
    return nullptr;
}

// "skip N" and "times N|always" after the words that a fault or reply fault needs.
std::string TakeCounts(const std::vector<std::string>& words, std::size_t from, int& skip,
                       int& times) {
    for (std::size_t i = from; i < words.size(); i += 2) {
        if (words[i] != "skip" && words[i] != "times") {
            return "'" + words[i] + "' is neither skip nor times";
        }
        if (i + 1 >= words.size()) {
            return "'" + words[i] + "' needs a value";
        }
        const std::string& v = words[i + 1];
        if (words[i] == "skip") {
            const auto n = Number<int>(v, 0, 1000000);
            if (!n) {
                return NumberError(v, 0, 1000000);
            }
            skip = *n;
        } else if (words[i] == "times") {
            const auto n = v == "always" ? std::optional<int>(-1) : Number<int>(v, 1, 1000000);
            if (!n) {
                return "times '" + v + "' is neither always nor a number from 1 to 1000000";
            }
            times = *n;
        }
    }
    return {};
}

std::string CountsText(int skip, int times) {
    return " skip " + std::to_string(skip) + " times " +
           (times < 0 ? std::string("always") : std::to_string(times));
}

std::string AddFault(std::vector<FaceFault>& faults, std::string_view value) {
    if (value == "none") {
        faults.clear();
        return {};
    }
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    if (words->size() < 2) {
        return "a fault names an entry and what it does";
    }
    FaceFault f;
    f.entry = (*words)[0];
    f.action = (*words)[1];
    const FaultEntry* entry = FindFaultEntry(f.entry);
    if (entry == nullptr) {
        return "'" + f.entry + "' is no entry of vtmpu2, vtmpu, vtwiduns or vtwidsd";
    }
    if (const auto n = Number<int>(f.action, -1000000, 1000000)) {
        if (!entry->numbers) {
            return f.entry + " takes no result code, only a word";
        }
        f.code = *n;
    } else if (std::find(entry->words.begin(), entry->words.end(), f.action) ==
               entry->words.end()) {
        std::string known;
        for (std::string_view w : entry->words) {
            known += (known.empty() ? "" : ", ") + std::string(w);
        }
        return "'" + f.action + "' is not what " + f.entry + " can do (" + known +
               (entry->numbers ? ", or a result code)" : ")");
    }
    if (std::string e = TakeCounts(*words, 2, f.skip, f.times); !e.empty()) {
        return e;
    }
    faults.push_back(std::move(f));
    return {};
}
std::vector<std::string> FaultLines(const std::vector<FaceFault>& faults) {
    std::vector<std::string> out;
    for (const FaceFault& f : faults) {
        out.push_back(f.entry + " " + f.action + CountsText(f.skip, f.times));
    }
    return out;
}

std::string AddReplyFault(WorldPrinter& p, std::string_view value) {
    if (value == "none") {
        p.replies.faults.clear();
        p.replyFaultLines.clear();
        p.responder.set_scenario(p.replies);
        return {};
    }
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    if (words->size() < 3) {
        return "a reply fault names a service, an operation and what changes";
    }
    const auto& w = *words;
    printersim::ReplyFault f;
    f.service = w[0] == "*" ? std::string() : w[0];
    f.operation = w[1] == "*" ? std::string() : w[1];
    const std::string& kind = w[2];
    std::size_t next = 3;
    const auto arg = [&](std::string_view what) -> const std::string* {
        if (next >= w.size()) {
            error = kind + " needs " + std::string(what);
            return nullptr;
        }
        return &w[next++];
    };
    const auto size = [&](std::optional<std::size_t>& into) {
        if (const std::string* v = arg("a number of bytes")) {
            into = Number<std::size_t>(*v, 0, 1 << 20);
            if (!into) {
                error = NumberError(*v, 0, 1 << 20);
            }
        }
    };
    if (kind == "refuse") {
        f.response = "NG";
        f.detail = "";
        // The detail is optional: "refuse" alone sends a bare "NG".
        if (next < w.size() && w[next] != "skip" && w[next] != "times") {
            f.detail = w[next++];
        }
    } else if (kind == "set") {
        const std::string* name = arg("an element name and a value");
        const std::string* text = name ? arg("a value") : nullptr;
        if (text != nullptr) {
            f.elements.emplace_back(*name, *text);
        }
    } else if (kind == "drop") {
        if (const std::string* name = arg("an element name")) {
            f.elements.emplace_back(*name, std::nullopt);
        }
    } else if (kind == "pad") {
        size(f.pad_to);
        if (next < w.size() && w[next] == "after-root") {
            f.pad_place = printersim::PadPlace::AfterRoot;
            ++next;
        }
    } else if (kind == "cut") {
        size(f.cut_to);
    } else if (kind == "cut-after") {
        if (const std::string* text = arg("a text")) {
            f.cut_after = *text;
        }
    } else if (kind == "raw") {
        if (const std::string* text = arg("a text")) {
            f.raw = *text;
        }
    } else if (kind == "delay") {
        std::optional<std::size_t> ms;
        size(ms);
        f.delay_ms = static_cast<unsigned>(ms.value_or(0));
    } else if (kind == "namespaces") {
        if (const std::string* how = arg("other-prefix, wrong-uri or undeclared")) {
            if (*how == "other-prefix") {
                f.namespaces = printersim::ReplyNamespaces::OtherPrefix;
            } else if (*how == "wrong-uri") {
                f.namespaces = printersim::ReplyNamespaces::WrongUri;
            } else if (*how == "undeclared") {
                f.namespaces = printersim::ReplyNamespaces::Undeclared;
            } else {
                error = "'" + *how + "' is none of other-prefix, wrong-uri, undeclared";
            }
        }
    } else if (kind == "comments-with-gt") {
        f.comments_with_gt = true;
    } else if (kind == "corrupt-payload") {
        f.corrupt_payload = true;
    } else {
        return "'" + kind +
               "' is none of refuse, set, drop, pad, cut, cut-after, raw, delay, namespaces, "
               "comments-with-gt, corrupt-payload";
    }
    if (!error.empty()) {
        return error;
    }
    if (std::string e = TakeCounts(w, next, f.skip, f.times); !e.empty()) {
        return e;
    }
    p.replies.faults.push_back(std::move(f));
    p.replyFaultLines.emplace_back(Trim(value));
    p.responder.set_scenario(p.replies);
    return {};
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

// ---- The table ----------------------------------------------------------------------------

template <typename T, T WorldPrinter::*Field, long long Low, long long High>
std::string SetPortNumber(WorldPrinter& p, std::string_view value) {
    const auto n = Number<T>(value, Low, High);
    if (!n) {
        return NumberError(value, Low, High);
    }
    p.*Field = *n;
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

const PrinterKey* FindPrinterKey(std::string_view name) {
    for (const PrinterKey& k : kPrinterKeys) {
        if (k.name == name) {
            return &k;
        }
    }
    return nullptr;
}

// "key = value" with the key checked and the value trimmed.
struct Line {
    std::string_view key;
    std::string_view value;
};
std::optional<Line> SplitLine(std::string_view line, std::string& error) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        error = "a line is \"key = value\", a [section] or a # comment";
        return std::nullopt;
    }
    Line out{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
    if (out.key.empty()) {
        error = "a key is missing before '='";
        return std::nullopt;
    }
    return out;
}

std::string ApplyPrinterKey(WorldPrinter& printer, const Line& line) {
    const PrinterKey* key = FindPrinterKey(line.key);
    if (key == nullptr) {
        return "'" + std::string(line.key) + "' is no printer key";
    }
    if (std::string e = key->apply(printer, line.value); !e.empty()) {
        return std::string(line.key) + ": " + e;
    }
    return {};
}

std::string ApplyWorldKey(WorldSettings& settings, std::vector<FaceFault>& faults,
                          const Line& line) {
    if (line.key == "search-delay-ms") {
        const auto n = Number<unsigned>(line.value, 0, 600000);
        if (!n) {
            return "search-delay-ms: " + NumberError(line.value, 0, 600000);
        }
        settings.searchDelayMs = *n;
        return {};
    }
    if (line.key == "fault") {
        if (std::string e = AddFault(faults, line.value); !e.empty()) {
            return "fault: " + e;
        }
        return {};
    }
    return "'" + std::string(line.key) + "' is no world key (search-delay-ms, fault)";
}

bool IsPrinterName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameBytes &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) {
               return std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.';
           });
}

std::string PortName(printersim::PortPath port) {
    switch (port) {
    case printersim::PortPath::Port1:
        return "port1";
    case printersim::PortPath::Port2:
        return "port2";
    case printersim::PortPath::Unspecified:
        break;
    }
    return "usb";
}

} // namespace

std::optional<Description> ParseDescription(std::string_view text, std::string_view source,
                                            std::string& error) {
    const auto fail = [&](std::size_t line, const std::string& what) {
        error = std::string(source) + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what;
        return std::nullopt;
    };
    if (text.size() > kMaxTextBytes) {
        return fail(0, "a world description has at most 1 MiB");
    }
    if (text.find('\0') != std::string_view::npos) {
        return fail(0, "a world description is text; it holds a NUL byte");
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Description d;
    std::set<std::string, std::less<>> names;
    enum class Section { None, World, Printer } section = Section::None;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (raw.size() > kMaxLineBytes) {
            return fail(number, "a line has at most 4096 bytes");
        }
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return fail(number, "a section header ends with ']'");
            }
            const std::string_view inside = Trim(line.substr(1, line.size() - 2));
            if (inside == "world") {
                if (d.hasWorldSection) {
                    return fail(number, "the [world] section is there twice");
                }
                d.hasWorldSection = true;
                section = Section::World;
                continue;
            }
            if (inside.substr(0, 8) != "printer " && inside.substr(0, 8) != "printer\t") {
                return fail(number, "a section is [world] or [printer <name>]");
            }
            const std::string_view name = Trim(inside.substr(8));
            if (!IsPrinterName(name)) {
                return fail(number, "'" + std::string(name) +
                                        "' is no printer name (1 to 64 letters, digits, - _ .)");
            }
            if (!names.insert(std::string(name)).second) {
                return fail(number, "printer '" + std::string(name) + "' is described twice");
            }
            if (d.printers.size() == kMaxPrinters) {
                return fail(number, "a world has at most 256 printers");
            }
            d.printers.push_back(std::make_shared<WorldPrinter>(std::string(name)));
            section = Section::Printer;
            continue;
        }
        std::string what;
        const auto split = SplitLine(line, what);
        if (!split) {
            return fail(number, what);
        }
        switch (section) {
        case Section::None:
            return fail(number, "'" + std::string(split->key) +
                                    "' comes before any [world] or [printer <name>] section");
        case Section::World:
            what = ApplyWorldKey(d.settings, d.faults, *split);
            break;
        case Section::Printer:
            what = ApplyPrinterKey(*d.printers.back(), *split);
            break;
        }
        if (!what.empty()) {
            return fail(number, what);
        }
    }
    return d;
}

std::string ApplyPrinterLine(WorldPrinter& printer, std::string_view line) {
    std::string error;
    const auto split = SplitLine(Trim(line), error);
    return split ? ApplyPrinterKey(printer, *split) : error;
}

std::string ApplyWorldLine(WorldSettings& settings, std::vector<FaceFault>& faults,
                           std::string_view line) {
    std::string error;
    const auto split = SplitLine(Trim(line), error);
    return split ? ApplyWorldKey(settings, faults, *split) : error;
}

std::optional<std::string> ReadPrinterKey(WorldPrinter& printer, std::string_view key) {
    std::vector<std::string> lines;
    if (const PrinterKey* k = FindPrinterKey(key)) {
        lines = k->read(printer);
    } else if (key == "name") {
        lines = {printer.name};
    } else if (key == "on-network") {
        lines = {YesNoText(printer.OnNetwork())};
    } else if (key == "wifi-joined") {
        lines = {YesNoText(printer.wifi.joined)};
    } else if (key == "wifi-key") {
        lines = {printer.wifi.key};
    } else if (key == "wifi-via") {
        lines = {printer.wifi.via};
    } else if (key == "wireless-block") {
        if (const auto& b = printer.wirelessBlock) {
            lines = {"ssid=" + b->ssid + " secured=" + (b->secured ? "1" : "0") + " key=" + b->key +
                     " ap=" + b->accessPointText};
        }
    } else if (key == "device-key") {
        lines = {printer.DeviceKey()};
    } else if (key == "exchanges") {
        for (const auto& r : printer.responder.history()) {
            std::string l =
                PortName(r.port) + " " + r.service + " " + r.operation + " " + r.response;
            if (!r.detail.empty()) {
                l += " " + r.detail;
            }
            lines.push_back(std::move(l));
        }
    } else if (key == "application-data") {
        for (const auto& r : printer.responder.history()) {
            if (!r.application_data.empty()) {
                lines = {r.application_data};
            }
        }
    } else if (key.substr(0, 5) == "hits ") {
        int hits = 0;
        for (const FaceFault& f : printer.faults) {
            hits += f.entry == key.substr(5) ? f.hits : 0;
        }
        lines = {std::to_string(hits)};
    } else {
        return std::nullopt;
    }
    std::string out;
    for (const std::string& l : lines) {
        out += (out.empty() ? "" : "\n") + l;
    }
    return out;
}

bool IsFaultEntry(std::string_view entry) {
    return FindFaultEntry(entry) != nullptr;
}

} // namespace qelworld
