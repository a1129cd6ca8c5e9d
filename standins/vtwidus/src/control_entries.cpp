// The VTWIDUSSIM_ exports with which tests set up the simulated bus and read back what the
// library was asked. The bus is the simulated world's: a reset empties the whole world.
#include "entry_guard.h"
#include "oid.h"
#include "printer_oids.h"

#include <algorithm>
#include <chrono>
#include <cstring>

using namespace vtwidussim;

namespace {

constexpr int kBad = -1;

// Runs body(printer) under the scenario lock for a known printer; -1 otherwise.
template <typename Body> int OnPrinter(int index, Body&& body) {
    try {
        auto lock = LockScenario();
        UsbPrinter* printer = Scenario::Get().Printer(index);
        return printer == nullptr ? kBad : body(*printer);
    } catch (...) {
        return kBad;
    }
}

// As OnPrinter, for one existing object of the printer.
template <typename Body> int OnObject(int index, const char* oid, Body&& body) {
    if (oid == nullptr) {
        return kBad;
    }
    return OnPrinter(index, [&](UsbPrinter& printer) {
        MibObject* object = printer.Find(FullOid(oid));
        return object == nullptr ? kBad : body(printer, *object);
    });
}

std::optional<std::int32_t> NumberOf(const Value& v) {
    if (v.type == VTWIDUS_TYPE_GAUGE32) {
        if (auto u = DecodeUnsigned(v.bytes.data(), v.bytes.size())) {
            return static_cast<std::int32_t>(*u);
        }
        return std::nullopt;
    }
    if (v.type == VTWIDUS_TYPE_INTEGER ||
        (v.type == VTWIDUS_TYPE_OCTET_STRING && v.bytes.size() == 4)) {
        return DecodeSigned(v.bytes.data(), v.bytes.size());
    }
    return std::nullopt;
}

} // namespace

extern "C" {

void __cdecl VTWIDUSSIM_Reset(void) {
    try {
        auto lock = LockScenario();
        qelworld::World::Get().Reset();
    } catch (...) {
    }
}

int __cdecl VTWIDUSSIM_AddPrinter(const char* modelName, const char* serialNumber) {
    if (modelName == nullptr || serialNumber == nullptr) {
        return kBad;
    }
    try {
        auto lock = LockScenario();
        return Scenario::Get().AddPrinter({modelName, serialNumber});
    } catch (...) {
        return kBad;
    }
}

int __cdecl VTWIDUSSIM_UnplugPrinter(int printer) {
    try {
        auto lock = LockScenario();
        return Scenario::Get().Unplug(printer) ? 0 : kBad;
    } catch (...) {
        return kBad;
    }
}

int __cdecl VTWIDUSSIM_SetInt(int printer, const char* oid, int value) {
    return OnObject(printer, oid, [&](UsbPrinter&, MibObject& object) {
        object.fromIdentity = false;
        switch (object.value.type) {
        case VTWIDUS_TYPE_GAUGE32:
            object.value = GaugeValue(static_cast<std::uint32_t>(value));
            return 0;
        case VTWIDUS_TYPE_OCTET_STRING:
            object.value = OctetIntValue(value);
            return 0;
        default:
            object.value = IntegerValue(value);
            return 0;
        }
    });
}

int __cdecl VTWIDUSSIM_SetText(int printer, const char* oid, const char* text) {
    if (text == nullptr) {
        return kBad;
    }
    return OnObject(printer, oid, [&](UsbPrinter& p, MibObject& object) {
        if (object.fromIdentity) {
            p.SetSerialNumber(text);
        } else if (object.setKind == SetKind::IpAddress) {
            const auto bytes = ParseIpv4(text);
            if (!bytes) {
                return kBad;
            }
            object.value = {VTWIDUS_TYPE_IPADDRESS, *bytes};
        } else if (object.setKind == SetKind::Ipv6) {
            const auto bytes = ParseIpv6(text);
            if (!bytes) {
                return kBad;
            }
            object.value = {VTWIDUS_TYPE_OCTET_STRING, *bytes};
        } else {
            object.value = TextValue(text);
        }
        return 0;
    });
}

int __cdecl VTWIDUSSIM_SetRaw(int printer, const char* oid, int type, const unsigned char* bytes,
                              int length) {
    if (oid == nullptr || type < 0 || type > 0xFF || length < 0 ||
        (bytes == nullptr && length > 0)) {
        return kBad;
    }
    return OnPrinter(printer, [&](UsbPrinter& p) {
        Value value{static_cast<std::uint8_t>(type), Bytes(bytes, bytes + length)};
        const std::string full = FullOid(oid);
        if (MibObject* object = p.Find(full)) {
            object->value = std::move(value);
            object->fromIdentity = false;
        } else {
            p.Put(full, MibObject{std::move(value), true, SetKind::None, 0});
        }
        return 0;
    });
}

int __cdecl VTWIDUSSIM_RemoveObject(int printer, const char* oid) {
    if (oid == nullptr) {
        return kBad;
    }
    return OnPrinter(printer, [&](UsbPrinter& p) { return p.Remove(FullOid(oid)) ? 0 : kBad; });
}

int __cdecl VTWIDUSSIM_GetInt(int printer, const char* oid, int* value) {
    if (value == nullptr) {
        return kBad;
    }
    return OnObject(printer, oid, [&](UsbPrinter& p, MibObject& object) {
        const auto n =
            NumberOf(object.fromIdentity ? TextValue(p.Identity().serialNumber) : object.value);
        if (!n) {
            return kBad;
        }
        *value = *n;
        return 0;
    });
}

int __cdecl VTWIDUSSIM_GetText(int printer, const char* oid, char* buffer, int size) {
    return OnObject(printer, oid, [&](UsbPrinter& p, MibObject& object) {
        std::string text;
        if (object.fromIdentity) {
            text = p.Identity().serialNumber;
        } else if (object.value.type == VTWIDUS_TYPE_IPADDRESS) {
            text = FormatIpv4(object.value.bytes);
        } else if (object.setKind == SetKind::Ipv6) {
            text = FormatIpv6(object.value.bytes);
        } else {
            text.assign(object.value.bytes.begin(), object.value.bytes.end());
        }
        return qelworld::CopyText(text, buffer, size);
    });
}

int __cdecl VTWIDUSSIM_AddAccessPoint(int printer, const VTWIDUSSIM_AccessPoint* ap) {
    if (ap == nullptr || ap->ssid == nullptr || ap->bssidLength < 0 ||
        (ap->bssid == nullptr && ap->bssidLength > 0)) {
        return kBad;
    }
    return OnPrinter(printer, [&](UsbPrinter& p) {
        p.AddAccessPoint({ap->ssid,
                          Bytes(ap->bssid, ap->bssid + ap->bssidLength),
                          ap->phyType,
                          ap->channel,
                          ap->authentication,
                          ap->encryption,
                          ap->signalLevel,
                          {}});
        return 0;
    });
}

int __cdecl VTWIDUSSIM_ClearAccessPoints(int printer) {
    return OnPrinter(printer, [](UsbPrinter& p) {
        p.ClearAccessPoints();
        return 0;
    });
}

int __cdecl VTWIDUSSIM_PublishApSearchResults(int printer, unsigned int timeValue) {
    return OnPrinter(printer, [&](UsbPrinter& p) {
        p.PublishResults(timeValue);
        return 0;
    });
}

int __cdecl VTWIDUSSIM_SetSupport(int printer, int modeIndex, int flags, int value) {
    if (modeIndex < 0 || flags < -1) {
        return kBad;
    }
    return OnPrinter(printer, [&](UsbPrinter& p) {
        p.SetSupport(modeIndex, flags, value);
        return 0;
    });
}

int __cdecl VTWIDUSSIM_ClearSupport(int printer) {
    return OnPrinter(printer, [](UsbPrinter& p) {
        p.ClearSupport();
        return 0;
    });
}

int __cdecl VTWIDUSSIM_SetBehaviour(int printer, int behaviour, int value) {
    return OnPrinter(printer, [&](UsbPrinter& p) {
        PrinterBehaviour& b = p.Behaviour();
        switch (behaviour) {
        case VTWIDUSSIM_BEHAVIOUR_APSEARCH_POLLS:
            if (value < 0) {
                return kBad;
            }
            b.apSearchPolls = value;
            return 0;
        case VTWIDUSSIM_BEHAVIOUR_MODE_CHANGE_POLLS:
            if (value < -1) {
                return kBad;
            }
            b.modeChangePolls = value;
            return 0;
        case VTWIDUSSIM_BEHAVIOUR_MODE_AFTER_SEARCH:
            if (value < -1) {
                return kBad;
            }
            b.modeAfterSearch = value;
            return 0;
        default:
            return kBad;
        }
    });
}

int __cdecl VTWIDUSSIM_GetApSearchStarts(int printer) {
    return OnPrinter(printer, [](UsbPrinter& p) { return p.ApSearchStarts(); });
}

int __cdecl VTWIDUSSIM_GetLastApSearch(int printer, char* buffer, int size) {
    return OnPrinter(printer, [&](UsbPrinter& p) {
        std::string text;
        if (p.ApSearchStarts() > 0) {
            const ApSearchStart& last = p.LastApSearch();
            switch (last.kind) {
            case ApSearchStart::Kind::Plain:
                text = "plain";
                break;
            case ApSearchStart::Kind::WithSsid:
                text = "ssid:" + last.text;
                break;
            case ApSearchStart::Kind::WithParams:
                text = "params:" + last.text;
                break;
            }
        }
        return qelworld::CopyText(text, buffer, size);
    });
}

int __cdecl VTWIDUSSIM_GetLastUsbTimeout(int printer) {
    try {
        auto lock = LockScenario();
        return Scenario::Get().LastUsbTimeout(printer);
    } catch (...) {
        return kBad;
    }
}

int __cdecl VTWIDUSSIM_AddFault(const VTWIDUSSIM_Fault* fault) {
    if (fault == nullptr || fault->entry < 1 || fault->entry > kEntryCount ||
        fault->action < VTWIDUSSIM_ACTION_RETURN || fault->action > VTWIDUSSIM_ACTION_BLOCK ||
        fault->skip < 0 || fault->times < -1) {
        return kBad;
    }
    try {
        Fault f;
        f.entry = fault->entry;
        f.printer = fault->printer;
        f.oid = fault->oid != nullptr ? FullOid(fault->oid) : std::string();
        f.command = fault->command;
        f.skip = fault->skip;
        f.times = fault->times;
        f.action = static_cast<FaultAction>(fault->action);
        f.value = fault->value;
        auto lock = LockScenario();
        return Scenario::Get().Faults().Add(std::move(f));
    } catch (...) {
        return kBad;
    }
}

int __cdecl VTWIDUSSIM_GetFaultHits(int faultId) {
    try {
        auto lock = LockScenario();
        return Scenario::Get().Faults().Hits(faultId);
    } catch (...) {
        return kBad;
    }
}

void __cdecl VTWIDUSSIM_ClearFaults(void) {
    try {
        auto lock = LockScenario();
        Scenario::Get().Faults().Clear();
    } catch (...) {
    }
}

int __cdecl VTWIDUSSIM_WaitForBlocked(int count, int timeoutMs) {
    try {
        // The gate has its own lock; the scenario's lock is not held while waiting.
        return Scenario::Get().Gate().WaitForBlocked(
                   count, std::chrono::milliseconds(std::max(timeoutMs, 0)))
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

void __cdecl VTWIDUSSIM_ReleaseBlocked(void) {
    try {
        Scenario::Get().Gate().ReleaseAll();
    } catch (...) {
    }
}

int __cdecl VTWIDUSSIM_GetCallCount(int entry) {
    return Scenario::Get().Calls(entry);
}

int __cdecl VTWIDUSSIM_GetJournalCount(void) {
    try {
        auto lock = LockScenario();
        return static_cast<int>(Scenario::Get().Journal().size());
    } catch (...) {
        return kBad;
    }
}

int __cdecl VTWIDUSSIM_GetJournalLine(int index, char* buffer, int size) {
    try {
        auto lock = LockScenario();
        const auto& journal = Scenario::Get().Journal();
        if (index < 0 || static_cast<std::size_t>(index) >= journal.size()) {
            return kBad;
        }
        return qelworld::CopyText(journal[static_cast<std::size_t>(index)], buffer, size);
    } catch (...) {
        return kBad;
    }
}

void __cdecl VTWIDUSSIM_ClearJournal(void) {
    try {
        auto lock = LockScenario();
        Scenario::Get().ClearJournal();
    } catch (...) {
    }
}

int __cdecl VTWIDUSSIM_GetLivePackets(void) {
    return Scenario::Get().LivePackets();
}

int __cdecl VTWIDUSSIM_GetLiveUsbInstances(void) {
    return Scenario::Get().LiveUsbInstances();
}

long long __cdecl VTWIDUSSIM_GetSimulatedTimeMs(void) {
    try {
        auto lock = LockScenario();
        return Scenario::Get().SimulatedTimeMs();
    } catch (...) {
        return -1;
    }
}

} // extern "C"
