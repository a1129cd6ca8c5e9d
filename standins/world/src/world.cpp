#include "world.h"

#include "oid.h"
#include "printer_oids.h"
#include "snmp_types.h"
#include "win/module_path.h"
#include "win/unique_any.h"
#include "world_record.h"
#include "world_text.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <set>

namespace qelworld {

namespace {

constexpr std::size_t kJournalLimit = 20000;
constexpr DWORD kMaxFileBytes = 1 << 20;

std::atomic<World*> g_world{nullptr};

struct LibraryRegistry {
    std::mutex mutex;
    std::unordered_map<std::string, LibraryCounts> counts;
};
LibraryRegistry& Libraries() {
    // Never destroyed: libraries may be unloaded while the process ends.
    static LibraryRegistry* registry = new LibraryRegistry();
    return *registry;
}

// The whole file as bytes, or the reason why not.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::string& error) {
    qelwin::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = "cannot be opened (error " + std::to_string(::GetLastError()) + ")";
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxFileBytes) {
        error = "is larger than 1 MiB or its size cannot be read";
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        error = "cannot be read (error " + std::to_string(::GetLastError()) + ")";
        return std::nullopt;
    }
    return bytes;
}

// The infrastructure interface's address object shows the printer's IPv4 address on the network,
// or none.
void ShowInfraAddress(WorldPrinter& p) {
    const std::string oid = vtwidussim::FullOid(vtwidussim::oids::kIfTable10) + ".4." +
                            std::to_string(vtwidussim::oids::kInfraRow);
    vtwidussim::MibObject* o = p.usb.Find(oid);
    if (o == nullptr) {
        return;
    }
    vtwidussim::Bytes address(4);
    for (const NetAddress& a : p.addresses) {
        if (!a.ipv6) {
            address = vtwidussim::ParseIpv4(a.text).value_or(address);
            break;
        }
    }
    o->value = {static_cast<std::uint8_t>(vtwidussim::SnmpType::IpAddress), address};
}

void SetMibText(WorldPrinter& p, std::string_view oid, const std::string& text) {
    if (vtwidussim::MibObject* o = p.usb.Find(vtwidussim::FullOid(oid))) {
        o->value = vtwidussim::TextValue(text);
    }
}

} // namespace

World& World::Get() {
    static World* world = [] {
        auto* w = new World();
        w->LoadStartupFile();
        g_world = w;
        return w;
    }();
    return *world;
}

std::wstring StartupFile(const std::wstring& moduleFolder) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD n =
        ::GetEnvironmentVariableW(L"QEL_WORLD_FILE", path.data(), static_cast<DWORD>(path.size()));
    if (n >= path.size()) {
        path.resize(n);
        n = ::GetEnvironmentVariableW(L"QEL_WORLD_FILE", path.data(),
                                      static_cast<DWORD>(path.size()));
    }
    if (n > 0 && n < path.size()) {
        path.resize(n);
        return path;
    }
    path = qelwin::JoinPath(moduleFolder, L"qelworld.world");
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
}

void World::LoadStartupFile() {
    const std::wstring path = StartupFile(qelwin::ThisModuleFolder());
    if (path.empty()) {
        return; // an empty world
    }
    const std::string error = LoadFile(path);
    startupReport_ = error.empty() ? "loaded " + AnsiText(path.c_str()) : error;
    ::OutputDebugStringA(("qelworld: " + startupReport_ + "\n").c_str());
}

std::string World::LoadFile(const std::wstring& path) {
    const std::string source = AnsiText(path.c_str());
    std::string error;
    const auto text = ReadWholeFile(path, error);
    if (!text) {
        return source + ": " + error;
    }
    auto lock = Lock();
    return Load(*text, source, true);
}

void World::Reset() {
    printers_.clear();
    bus_.clear();
    faults_.clear();
    settings_ = {};
    journal_.clear();
    peakAnswers_ = answering_.load();
    ++generation_;
    for (FaceState* face : AllFaces()) {
        face->Reset();
    }
}

void World::AnswerStarted() noexcept {
    const int now = ++answering_;
    int peak = peakAnswers_.load();
    while (now > peak && !peakAnswers_.compare_exchange_weak(peak, now)) {
    }
}

std::vector<FaceState*> World::AllFaces() const {
    // Faces live as long as the world, so the list may be used after the registry's lock is
    // left (a face may look up another one).
    std::lock_guard guard(facesMutex_);
    std::vector<FaceState*> all;
    for (const auto& [type, face] : faces_) {
        all.push_back(face.get());
    }
    return all;
}

std::string World::Load(std::string_view text, std::string_view source, bool replace) {
    std::string error;
    auto d = ParseDescription(text, source, error);
    if (!d) {
        return error;
    }
    const auto clash = [&](const std::string& what) { return std::string(source) + ": " + what; };
    // Names, USB ports, queues and addresses each name one printer.
    std::set<std::string, std::less<>> names;
    std::set<std::string, std::less<>> ports;
    std::set<std::string, std::less<>> queues;
    std::vector<const WorldPrinter*> seen;
    auto check = [&](const WorldPrinter& p) -> std::string {
        if (!names.insert(p.name).second) {
            return clash("printer '" + p.name + "' is in the world already");
        }
        if (!p.usbPort.empty() && !ports.insert(p.usbPort).second) {
            return clash("printer '" + p.name + "': USB port " + p.usbPort + " is taken");
        }
        for (const std::string& q : p.queues) {
            if (!queues.insert(q).second) {
                return clash("printer '" + p.name + "': queue '" + q + "' is taken");
            }
        }
        for (const WorldPrinter* other : seen) {
            for (const NetAddress& a : p.addresses) {
                if (other->HasAddress(a)) {
                    return clash("printer '" + p.name + "': address " + a.Display() + " is taken");
                }
            }
        }
        seen.push_back(&p);
        return {};
    };
    if (!replace) {
        for (const auto& p : printers_) {
            check(*p);
        }
    }
    for (const auto& p : d->printers) {
        if (std::string e = check(*p); !e.empty()) {
            return e;
        }
    }
    if (replace) {
        Reset();
    }
    if (replace || d->hasWorldSection) {
        settings_ = d->settings;
        faults_ = std::move(d->faults);
    }
    for (auto& p : d->printers) {
        if ((p->onVtwidwus || p->onVtwiduns) && p->usbPort.empty()) {
            p->usbPort = UnusedUsbPort();
        }
        ShowInfraAddress(*p);
        p->usb.NameDirectNetwork();
        printers_.push_back(p);
        if (p->onVtwidwus) {
            JoinBus(p);
        }
    }
    return {};
}

std::string World::Configure(std::string_view printer, std::string_view line) {
    if (printer.empty()) {
        return ApplyWorldLine(settings_, faults_, line);
    }
    const auto p = Find(printer);
    if (!p) {
        return "no printer '" + std::string(printer) + "' in the world";
    }
    if (std::string e = ApplyPrinterLine(*p, line); !e.empty()) {
        return e;
    }
    ShowInfraAddress(*p);
    p->usb.NameDirectNetwork();
    if ((p->onVtwidwus || p->onVtwiduns) && p->usbPort.empty()) {
        p->usbPort = UnusedUsbPort();
    }
    if (p->onVtwidwus) {
        JoinBus(p);
    }
    return {};
}

std::shared_ptr<WorldPrinter> World::AddPrinter(std::string name) {
    auto p = std::make_shared<WorldPrinter>(std::move(name));
    printers_.push_back(p);
    return p;
}

std::shared_ptr<WorldPrinter> World::Find(std::string_view name) const {
    for (const auto& p : printers_) {
        if (p->name == name) {
            return p;
        }
    }
    return nullptr;
}

std::string World::UnusedName(std::string_view stem) const {
    for (int i = 1;; ++i) {
        std::string name = std::string(stem) + std::to_string(i);
        if (!Find(name)) {
            return name;
        }
    }
}

std::string World::UnusedUsbPort() const {
    for (int i = 1;; ++i) {
        char port[16];
        std::snprintf(port, sizeof port, "USB%03d", i);
        if (std::none_of(printers_.begin(), printers_.end(),
                         [&](const auto& p) { return p->usbPort == port; })) {
            return port;
        }
    }
}

std::shared_ptr<WorldPrinter> World::ByAddress(std::string_view text) const {
    const auto address = ParseAddress(text);
    if (!address) {
        return nullptr;
    }
    for (const auto& p : printers_) {
        if (p->HasAddress(*address)) {
            return p;
        }
    }
    return nullptr;
}

std::shared_ptr<WorldPrinter> World::ByQueue(std::string_view queue) const {
    for (const auto& p : printers_) {
        if (p->HasQueue(queue) && (p->OnNetwork() || p->OnUsb())) {
            return p;
        }
    }
    return nullptr;
}

std::shared_ptr<WorldPrinter> World::ByUsbPort(std::string_view port) const {
    for (const auto& p : printers_) {
        if (p->OnUsb() && p->usbPort == port) {
            return p;
        }
    }
    return nullptr;
}

std::vector<std::string> World::WorkingUsbPorts() const {
    std::vector<std::string> ports;
    for (const auto& p : printers_) {
        if (p->OnUsb()) {
            ports.push_back(p->usbPort);
        }
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

std::vector<SearchEntry> World::NetworkSearch(bool ipv6Only) const {
    std::vector<SearchEntry> found;
    for (const auto& p : printers_) {
        if (!p->searchable) {
            continue;
        }
        for (const NetAddress& a : p->addresses) {
            if (a.ipv6 == ipv6Only) {
                found.push_back({a.scope, a.text});
                break;
            }
        }
    }
    return found;
}

std::optional<FaceFault> World::Fire(WorldPrinter* printer, std::string_view entry) {
    std::optional<FaceFault> fired;
    const auto walk = [&](std::vector<FaceFault>& faults) {
        for (FaceFault& f : faults) {
            if (f.entry != entry) {
                continue;
            }
            const int index = f.seen++;
            if (index >= f.skip && (f.times < 0 || index < f.skip + f.times)) {
                ++f.hits;
                if (!fired) {
                    fired = f;
                }
            }
        }
    };
    if (printer != nullptr) {
        walk(printer->faults);
    }
    walk(faults_);
    if (fired) {
        RecordLine("fault " + fired->entry + " " + fired->action);
    }
    return fired;
}

int World::JoinBus(const std::shared_ptr<WorldPrinter>& printer) {
    const int index = BusIndexOf(*printer);
    if (index >= 0) {
        return index;
    }
    bus_.push_back(printer);
    return static_cast<int>(bus_.size() - 1);
}

WorldPrinter* World::BusPrinter(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= bus_.size()) {
        return nullptr;
    }
    return bus_[static_cast<std::size_t>(index)].get();
}

int World::BusIndexOf(const WorldPrinter& printer) const {
    for (std::size_t i = 0; i < bus_.size(); ++i) {
        if (bus_[i].get() == &printer) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<int> World::BusPrintersPlugged() const {
    std::vector<int> out;
    for (std::size_t i = 0; i < bus_.size(); ++i) {
        if (bus_[i]->onVtwidwus && bus_[i]->OnUsb()) {
            out.push_back(static_cast<int>(i));
        }
    }
    return out;
}

bool World::TakeWifiSettings(WorldPrinter& printer, const std::string& ssid, const std::string& key,
                             std::string_view via) {
    printer.wifi = {ssid, key, std::string(via), false};
    SetMibText(printer, vtwidussim::oids::kInfraSsid, ssid);
    SetMibText(printer, vtwidussim::oids::kInfraPassphrase, key);
    const auto& aps = printer.AccessPoints();
    const auto ap = std::find_if(aps.begin(), aps.end(),
                                 [&](const vtwidussim::AccessPoint& a) { return a.ssid == ssid; });
    std::string outcome;
    if (ssid.empty()) {
        outcome = "no network name";
    } else if (ap == aps.end()) {
        outcome = "network not in range";
    } else if (!ap->key.empty() && ap->key != key) {
        outcome = "wrong key";
    } else if (!printer.joinsWifi) {
        outcome = "the printer does not join";
    }
    if (!outcome.empty()) {
        Note("wifi " + printer.name + " \"" + ssid + "\" via " + std::string(via) + ": " + outcome);
        return false;
    }
    printer.wifi.joined = true;
    if (!printer.OnNetwork()) {
        NetAddress address;
        if (printer.wifiAddress) {
            address = *printer.wifiAddress;
        } else {
            for (int host = 100; host < 255; ++host) {
                address.text = "192.168.1." + std::to_string(host);
                if (!ByAddress(address.text)) {
                    break;
                }
            }
        }
        printer.addresses.push_back(address);
    }
    printer.UpdateInternet();
    ShowInfraAddress(printer);
    printer.model->with([](printersim::PrinterModel& m) {
        if (printersim::NetworkInterface* w = m.find_interface("wireless0")) {
            w->communication_method = "infrastructure_mode";
        }
    });
    Note("wifi " + printer.name + " \"" + ssid + "\" via " + std::string(via) + ": joined at " +
         printer.addresses.front().Display());
    return true;
}

void World::Note(std::string line) {
    RecordLine("call " + line);
    if (journal_.size() == kJournalLimit) {
        journal_.pop_front();
    }
    journal_.push_back(std::move(line));
}

void World::LibraryLoaded(std::string_view library) {
    LibraryRegistry& r = Libraries();
    std::lock_guard guard(r.mutex);
    ++r.counts[std::string(library)].loads;
}

void World::LibraryUnloaded(std::string_view library) {
    int open = 0;
    if (World* world = g_world.load()) {
        auto lock = world->Lock();
        for (FaceState* face : world->AllFaces()) {
            if (face->Library() == library) {
                open += face->DropHandles();
            }
        }
    }
    LibraryRegistry& r = Libraries();
    std::lock_guard guard(r.mutex);
    LibraryCounts& c = r.counts[std::string(library)];
    ++c.unloads;
    c.openAtUnload += open;
}

LibraryCounts World::Counts(std::string_view library) {
    LibraryRegistry& r = Libraries();
    std::lock_guard guard(r.mutex);
    const auto it = r.counts.find(std::string(library));
    return it == r.counts.end() ? LibraryCounts{} : it->second;
}

int CopyText(std::string_view text, char* buffer, int size) noexcept {
    if (size < 0 || (buffer == nullptr && size > 0)) {
        return -1;
    }
    if (size > 0) {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(text.size());
}

std::string AnsiText(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 1)), '\0');
    if (n > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    }
    out.resize(out.size() - 1);
    return out;
}

std::string DeviceId(WorldPrinter& printer) {
    const auto m = printer.model->snapshot();
    return "MFG:VELTO;CMD:VTXML;MDL:" + m.model + ";CLS:PRINTER;SN:" + m.serial + ";";
}

} // namespace qelworld
