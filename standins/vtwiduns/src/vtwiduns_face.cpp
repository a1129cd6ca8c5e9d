// vtwiduns.dll as a face of the simulated world: it lists the printers plugged in on USB that this
// library sees (key and port in each device entry), talks to one of them at a time per instance,
// lists its interfaces with the channels of its radio bands, runs its access-point scan over the
// networks it sees, and takes its wireless settings block: the printer then tries to join the
// chosen network, as it would after the same settings were written through the USB wrapper.
#include "vtwiduns/vtwiduns_api.h"

#include "face_frame.h"
#include "oid.h"
#include "printer_oids.h"
#include "snmp_types.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

namespace {

using namespace qelworld;

constexpr int kCell = VTWIDUNS_CELL_BYTES;

using Record = std::string; // bytes of one fixed-size record

void PutCell(Record& record, int cell, std::string_view text) {
    const std::size_t n = std::min<std::size_t>(text.size(), kCell - 1);
    std::memcpy(record.data() + static_cast<std::size_t>(cell) * kCell, text.data(), n);
}

// The text of a cell, or nothing when the cell holds no NUL.
std::optional<std::string> CellOf(const char* record, int cell) {
    const char* start = record + static_cast<std::size_t>(cell) * kCell;
    const void* end = std::memchr(start, '\0', kCell);
    if (end == nullptr) {
        return std::nullopt;
    }
    return std::string(start, static_cast<const char*>(end));
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::optional<std::string> Unhex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = digit(hex[i]);
        const int low = digit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

struct Instance {
    std::set<std::string> talking; // printers in a conversation with this instance
};

class UnsFace final : public FaceState {
public:
    std::string_view Library() const override { return "vtwiduns"; }
    void Reset() override {
        for (auto& [number, instance] : instances) {
            instance.talking.clear();
        }
        locks.clear();
        scans.clear();
    }
    int DropHandles() override {
        const int open = static_cast<int>(instances.size());
        instances.clear();
        locks.clear();
        return open;
    }

    std::map<std::uintptr_t, Instance> instances;
    std::uintptr_t next = 1;
    std::map<std::string, std::uintptr_t> locks; // printer name -> the instance that holds it
    std::map<std::string, std::vector<vtwidussim::AccessPoint>> scans; // by printer name
};

VTWIDUNS_INSTANCE HandleOf(std::uintptr_t number) {
    return reinterpret_cast<VTWIDUNS_INSTANCE>(0x7A000000u + number * 16);
}
std::uintptr_t NumberOf(VTWIDUNS_INSTANCE instance) {
    const auto value = reinterpret_cast<std::uintptr_t>(instance);
    return value > 0x7A000000u && (value - 0x7A000000u) % 16 == 0 ? (value - 0x7A000000u) / 16 : 0;
}

std::vector<std::shared_ptr<WorldPrinter>> Visible(World& world) {
    std::vector<std::shared_ptr<WorldPrinter>> out;
    for (const auto& p : world.Printers()) {
        if (p->onVtwiduns && p->OnUsb()) {
            out.push_back(p);
        }
    }
    return out;
}

// The listing rule: with no buffer and countOnly 1 the number of entries; with a buffer of *work
// entries, the entries that fit, their number in *work and as the result.
int List(void* buffer, int* work, int countOnly, std::size_t entryBytes,
         const std::vector<Record>& entries) {
    if (buffer == nullptr) {
        return countOnly == 1 ? static_cast<int>(entries.size()) : VTWIDUNS_ERR_PARAM;
    }
    if (work == nullptr || *work < 0) {
        return VTWIDUNS_ERR_PARAM;
    }
    const std::size_t n = std::min(entries.size(), static_cast<std::size_t>(*work));
    for (std::size_t i = 0; i < n; ++i) {
        std::memcpy(static_cast<char*>(buffer) + i * entryBytes, entries[i].data(), entryBytes);
    }
    *work = static_cast<int>(n);
    return static_cast<int>(n);
}

std::string Channels(int bandBits) {
    std::string out;
    const auto add = [&](std::initializer_list<int> channels) {
        for (int c : channels) {
            out += (out.empty() ? "" : " ") + std::to_string(c);
        }
    };
    if ((bandBits & 2) != 0) {
        add({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    }
    if ((bandBits & 4) != 0) {
        add({36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108, 112,
             116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165});
    }
    return out;
}

std::vector<Record> InterfaceEntries(WorldPrinter& p) {
    std::vector<Record> out;
    for (const auto& i : p.model->snapshot().interfaces) {
        Record r(VTWIDUNS_INTERFACE_CELLS * kCell, '\0');
        PutCell(r, 0, i.id);
        PutCell(r, 1, i.hwaddress);
        PutCell(r, 2, i.communication_method);
        if (i.id == "wireless0") {
            PutCell(r, 7, Channels(p.BandBits()));
        }
        out.push_back(std::move(r));
    }
    return out;
}

// Cell 1 of an access point: the station address, handed back in the settings block.
std::string AccessPointText(const vtwidussim::AccessPoint& ap) {
    return Hex(std::string(ap.bssid.begin(), ap.bssid.end()));
}

std::vector<Record> AccessPointEntries(const std::vector<vtwidussim::AccessPoint>& scan) {
    std::vector<Record> out;
    for (const auto& ap : scan) {
        Record r(VTWIDUNS_ACCESS_POINT_CELLS * kCell, '\0');
        PutCell(r, 0, Hex(ap.ssid));
        PutCell(r, 1, AccessPointText(ap));
        PutCell(r, 2, std::to_string(ap.channel));
        PutCell(r, 3, std::to_string(ap.signalLevel));
        PutCell(r, 4, std::to_string(ap.authentication));
        PutCell(r, 5, std::to_string(ap.encryption));
        // Secured networks: cell 6 for the older schemes, cell 9 for the newer ones.
        PutCell(r, 6, ap.authentication >= 1 && ap.authentication <= 8 ? "1" : "0");
        PutCell(r, 9, ap.authentication >= 9 ? "1" : "0");
        out.push_back(std::move(r));
    }
    return out;
}

// The first section of a settings block as the printer reads it.
std::optional<WirelessBlock> ReadSettings(const char* block) {
    const auto name = CellOf(block, 0);
    const auto ssidHex = CellOf(block, 18);
    const auto apText = CellOf(block, 20);
    const auto secured = CellOf(block, 36);
    const auto maskedKey = CellOf(block, 35);
    if (!name || *name != "wireless0" || !ssidHex || !apText || !secured || !maskedKey) {
        return std::nullopt;
    }
    const auto ssid = Unhex(*ssidHex);
    if (!ssid || ssid->empty() || ssid->size() > 32 || (*secured != "0" && *secured != "1")) {
        return std::nullopt;
    }
    WirelessBlock b{*ssid, "", *apText, *secured == "1"};
    if (b.secured) {
        const auto key = Unhex(*maskedKey);
        if (!key || key->size() > 64) {
            return std::nullopt;
        }
        for (char c : *key) {
            b.key += static_cast<char>(static_cast<unsigned char>(c) ^ VTWIDUNS_KEY_MASK);
        }
    }
    return b;
}

// The frame of the entries that talk to one device: the instance, the printer that the key
// names, and the fault of the call.
struct Call {
    Call(const char* entry, VTWIDUNS_INSTANCE handle, const char* deviceKey)
        : frame(entry), face(frame.world.Face<UnsFace>()) {
        const auto it = face.instances.find(NumberOf(handle));
        if (it == face.instances.end() || deviceKey == nullptr) {
            status = VTWIDUNS_ERR_PARAM;
            return;
        }
        instance = &it->second;
        number = it->first;
        const std::string key(deviceKey, ::strnlen(deviceKey, VTWIDUNS_DEVICE_KEY_BYTES));
        frame.Args(key);
        for (const auto& p : Visible(frame.world)) {
            if (p->DeviceKey() == key) {
                printer = p;
            }
        }
        if (!printer) {
            status = VTWIDUNS_ERR_NO_DEVICE;
            return;
        }
        if (const auto fault = frame.world.Fire(printer.get(), entry)) {
            status = fault->code.value_or(VTWIDUNS_ERR_FAILED);
        }
    }
    bool Talking() const { return instance->talking.count(printer->name) != 0; }
    int Done(int result) { return frame.Done(result); }

    FaceFrame frame;
    UnsFace& face;
    Instance* instance = nullptr;
    std::uintptr_t number = 0;
    std::shared_ptr<WorldPrinter> printer;
    int status = VTWIDUNS_OK;
};

// An entry that needs a conversation with the device.
template <typename Body>
int InConversation(const char* entry, VTWIDUNS_INSTANCE instance, const char* deviceKey,
                   Body&& body) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        Call call(entry, instance, deviceKey);
        if (call.status != VTWIDUNS_OK) {
            return call.Done(call.status);
        }
        if (!call.Talking()) {
            return call.Done(VTWIDUNS_ERR_NO_COMM);
        }
        return call.Done(body(call));
    });
}

// Ends the conversation of the call's instance; unlock: also lets other instances talk.
int EndConversation(const char* entry, VTWIDUNS_INSTANCE instance, const char* deviceKey,
                    bool unlock) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        Call call(entry, instance, deviceKey);
        if (call.status != VTWIDUNS_OK) {
            return call.Done(call.status);
        }
        const bool talking = call.Talking();
        call.instance->talking.erase(call.printer->name);
        const auto lock = call.face.locks.find(call.printer->name);
        const bool held = lock != call.face.locks.end() && lock->second == call.number;
        if (unlock && held) {
            call.face.locks.erase(lock);
        }
        return call.Done(talking || (unlock && held) ? VTWIDUNS_OK : VTWIDUNS_ERR_NO_COMM);
    });
}

} // namespace

extern "C" {

VTWIDUNS_INSTANCE VTWIDUNS_CALL VTWIDUNS_CreateInstance(void) {
    return Guarded<VTWIDUNS_INSTANCE>(nullptr, [] {
        FaceFrame frame("VTWIDUNS_CreateInstance");
        UnsFace& face = frame.world.Face<UnsFace>();
        if (frame.world.Fire(nullptr, "VTWIDUNS_CreateInstance")) {
            return frame.Done<VTWIDUNS_INSTANCE>(nullptr, "null");
        }
        const std::uintptr_t number = face.next++;
        face.instances[number] = Instance{};
        return frame.Done(HandleOf(number), "#" + std::to_string(number));
    });
}

void VTWIDUNS_CALL VTWIDUNS_DestroyInstance(VTWIDUNS_INSTANCE instance) {
    Guarded(0, [&] {
        FaceFrame frame("VTWIDUNS_DestroyInstance");
        UnsFace& face = frame.world.Face<UnsFace>();
        const std::uintptr_t number = NumberOf(instance);
        std::erase_if(face.locks, [&](const auto& lock) { return lock.second == number; });
        return frame.Done(face.instances.erase(number) == 1 ? 0 : VTWIDUNS_ERR_PARAM);
    });
}

int VTWIDUNS_CALL VTWIDUNS_OptSetting(VTWIDUNS_INSTANCE instance, int option, int value) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        FaceFrame frame("VTWIDUNS_OptSetting");
        frame.Args(std::to_string(option) + " " + std::to_string(value));
        if (frame.world.Face<UnsFace>().instances.count(NumberOf(instance)) == 0) {
            return frame.Done(VTWIDUNS_ERR_PARAM);
        }
        const auto fault = frame.world.Fire(nullptr, "VTWIDUNS_OptSetting");
        return frame.Done(fault ? fault->code.value_or(VTWIDUNS_ERR_FAILED) : VTWIDUNS_OK);
    });
}

int VTWIDUNS_CALL VTWIDUNS_Search(VTWIDUNS_INSTANCE instance, void* buffer, int* work,
                                  int countOnly) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        FaceFrame frame("VTWIDUNS_Search");
        frame.Args(std::string(buffer != nullptr ? "buffer " : "") +
                   (work != nullptr ? std::to_string(*work) : "-") + " " +
                   std::to_string(countOnly));
        if (frame.world.Face<UnsFace>().instances.count(NumberOf(instance)) == 0) {
            return frame.Done(VTWIDUNS_ERR_PARAM);
        }
        if (const auto fault = frame.world.Fire(nullptr, "VTWIDUNS_Search")) {
            return frame.Done(fault->code.value_or(VTWIDUNS_ERR_FAILED));
        }
        std::vector<Record> entries;
        for (const auto& p : Visible(frame.world)) {
            Record r(VTWIDUNS_DEVICE_ENTRY_BYTES, '\0');
            const std::string key = p->DeviceKey();
            std::memcpy(r.data(), key.data(), std::min<std::size_t>(key.size(), 255));
            std::memcpy(r.data() + VTWIDUNS_DEVICE_PORT_OFFSET, p->usbPort.data(),
                        p->usbPort.size());
            entries.push_back(std::move(r));
        }
        return frame.Done(List(buffer, work, countOnly, VTWIDUNS_DEVICE_ENTRY_BYTES, entries));
    });
}

int VTWIDUNS_CALL VTWIDUNS_GetDeviceId(VTWIDUNS_INSTANCE instance, const char* deviceKey,
                                       char* buffer, int capacity) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        Call call("VTWIDUNS_GetDeviceId", instance, deviceKey);
        if (call.status != VTWIDUNS_OK) {
            return call.Done(call.status);
        }
        const std::string id = DeviceId(*call.printer);
        if (buffer == nullptr || capacity <= static_cast<int>(id.size())) {
            return call.Done(VTWIDUNS_ERR_PARAM);
        }
        std::memcpy(buffer, id.c_str(), id.size() + 1);
        return call.Done(static_cast<int>(id.size()));
    });
}

int VTWIDUNS_CALL VTWIDUNS_CommStart(VTWIDUNS_INSTANCE instance, const char* deviceKey) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        Call call("VTWIDUNS_CommStart", instance, deviceKey);
        if (call.status != VTWIDUNS_OK) {
            return call.Done(call.status);
        }
        const auto [lock, free] = call.face.locks.emplace(call.printer->name, call.number);
        if (!free && lock->second != call.number) {
            return call.Done(VTWIDUNS_ERR_BUSY);
        }
        call.instance->talking.insert(call.printer->name);
        return call.Done(VTWIDUNS_OK);
    });
}

int VTWIDUNS_CALL VTWIDUNS_CommEnd(VTWIDUNS_INSTANCE instance, const char* deviceKey) {
    return EndConversation("VTWIDUNS_CommEnd", instance, deviceKey, true);
}

int VTWIDUNS_CALL VTWIDUNS_CommEndNotUnLock(VTWIDUNS_INSTANCE instance, const char* deviceKey) {
    return EndConversation("VTWIDUNS_CommEndNotUnLock", instance, deviceKey, false);
}

int VTWIDUNS_CALL VTWIDUNS_UnLock(VTWIDUNS_INSTANCE instance, const char* deviceKey) {
    return Guarded(VTWIDUNS_ERR_FAILED, [&] {
        Call call("VTWIDUNS_UnLock", instance, deviceKey);
        if (call.status != VTWIDUNS_OK) {
            return call.Done(call.status);
        }
        const auto lock = call.face.locks.find(call.printer->name);
        if (lock != call.face.locks.end() && lock->second == call.number && !call.Talking()) {
            call.face.locks.erase(lock);
        }
        return call.Done(VTWIDUNS_OK);
    });
}

int VTWIDUNS_CALL VTWIDUNS_GetInfo(VTWIDUNS_INSTANCE instance, const char* deviceKey, int kind,
                                   void* buffer, int* work, int countOnly) {
    return InConversation("VTWIDUNS_GetInfo", instance, deviceKey, [&](Call& call) {
        call.frame.Args(std::to_string(kind) + (buffer != nullptr ? " buffer " : " ") +
                        (work != nullptr ? std::to_string(*work) : "-"));
        if (kind == VTWIDUNS_INFO_INTERFACES) {
            return List(buffer, work, countOnly, VTWIDUNS_INTERFACE_CELLS * kCell,
                        InterfaceEntries(*call.printer));
        }
        if (kind == VTWIDUNS_INFO_ACCESS_POINTS) {
            return List(buffer, work, countOnly, VTWIDUNS_ACCESS_POINT_CELLS * kCell,
                        AccessPointEntries(call.face.scans[call.printer->name]));
        }
        return VTWIDUNS_ERR_PARAM;
    });
}

int VTWIDUNS_CALL VTWIDUNS_SetInfo(VTWIDUNS_INSTANCE instance, const char* deviceKey, int kind,
                                   const void* block, int size) {
    return InConversation("VTWIDUNS_SetInfo", instance, deviceKey, [&](Call& call) {
        call.frame.Args(std::to_string(kind) + " " + std::to_string(size));
        if (kind != VTWIDUNS_SET_WIRELESS || block == nullptr || size != VTWIDUNS_SETTINGS_BYTES) {
            return VTWIDUNS_ERR_PARAM;
        }
        const auto settings = ReadSettings(static_cast<const char*>(block));
        if (!settings) {
            return VTWIDUNS_ERR_PARAM;
        }
        WorldPrinter& printer = *call.printer;
        printer.wirelessBlock = settings;
        call.frame.world.TakeWifiSettings(printer, settings->ssid, settings->key, "vtwiduns");
        return VTWIDUNS_OK;
    });
}

int VTWIDUNS_CALL VTWIDUNS_Control(VTWIDUNS_INSTANCE instance, const char* deviceKey, int code,
                                   int value) {
    return InConversation("VTWIDUNS_Control", instance, deviceKey, [&](Call& call) {
        call.frame.Args(std::to_string(code) + " " + std::to_string(value));
        if (code != VTWIDUNS_CONTROL_AP_SCAN) {
            return VTWIDUNS_ERR_PARAM;
        }
        call.face.scans[call.printer->name] = call.printer->AccessPoints();
        return VTWIDUNS_OK;
    });
}

} // extern "C"
