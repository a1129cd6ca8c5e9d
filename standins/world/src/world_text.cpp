#include "world_text.h"

#include "fault_keys.h"
#include "printer_keys.h"
#include "text_values.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace qelworld {

using namespace text;

namespace {

constexpr std::size_t kMaxTextBytes = 1 << 20;
constexpr std::size_t kMaxLineBytes = 4096;
constexpr std::size_t kMaxPrinters = 256;
constexpr std::size_t kMaxNameBytes = 64;

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
    printer.UpdateInternet();
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

} // namespace

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
    } else if (key == "requests") {
        static constexpr char kDigits[] = "0123456789abcdef";
        for (const auto& r : printer.responder.history()) {
            std::string l = PortName(r.port) + " " + std::to_string(r.reply_bytes) + " ";
            for (const unsigned char byte : r.request) {
                l += kDigits[byte >> 4];
                l += kDigits[byte & 15];
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

} // namespace qelworld
