// Entries 21 to 27 of the packet library: the USB bus, printer instances, discovery and the
// exchange with a printer's agent.
#include "entry_guard.h"
#include "oid.h"
#include "printer_oids.h"
#include "snmp_agent.h"

#include <algorithm>

using namespace vtwidussim;

namespace {

// The printer behind an instance, or the result that refuses it.
struct Target {
    UsbInstance* instance = nullptr;
    UsbPrinter* printer = nullptr;
    int result = VTWIDUS_ERROR_CODE_SUCCESS;
};

Target FindTarget(VTWIDUS_USB_INSTANCE handle) {
    Target t;
    t.instance = LibraryState::Get().FindInstance(handle);
    if (t.instance == nullptr) {
        t.result = VTWIDUS_ERROR_CODE_PARAM;
        return t;
    }
    Scenario& scenario = Scenario::Get();
    if (t.instance->generation != scenario.Generation() ||
        !scenario.IsPlugged(t.instance->printer)) {
        t.result = VTWIDUS_ERROR_CODE_DEVICE;
        return t;
    }
    t.printer = scenario.Printer(t.instance->printer);
    return t;
}

int PrinterOf(VTWIDUS_USB_INSTANCE handle) {
    const UsbInstance* instance = LibraryState::Get().FindInstance(handle);
    return instance == nullptr ? -1 : instance->printer;
}

// A simulated delay: within the time-out it only costs time; reaching it is a time-out.
std::optional<int> ApplyDelay(const Interception& faults, int timeoutMs) {
    if (!faults.delayMs) {
        return std::nullopt;
    }
    Scenario& scenario = Scenario::Get();
    if (*faults.delayMs >= timeoutMs) {
        scenario.AdvanceTime(timeoutMs);
        return VTWIDUS_ERROR_CODE_RECEIVE_TIMEOUT;
    }
    scenario.AdvanceTime(*faults.delayMs);
    return std::nullopt;
}

std::string JournalLine(const UsbPrinter& printer, std::uint8_t command,
                        const std::vector<Varbind>& request) {
    std::string line = printer.Identity().serialNumber;
    line += command == kGetRequest ? " GET" : " SET";
    for (const Varbind& vb : request) {
        line += " " + ShortOid(vb.oid);
        if (command == kSetRequest) {
            line += "=" + DescribeValue(vb.value);
        }
    }
    return line;
}

// The faults that change varbinds of the response.
void ApplyValueFaults(const std::vector<Fault>& faults, std::vector<Varbind>& varbinds) {
    for (const Fault& f : faults) {
        for (auto it = varbinds.begin(); it != varbinds.end();) {
            if (!f.oid.empty() && !OidIsUnder(it->oid, f.oid)) {
                ++it;
                continue;
            }
            switch (f.action) {
            case FaultAction::NoSuchObject:
                it->value = {VTWIDUS_TYPE_NOSUCHOBJECT, {}};
                break;
            case FaultAction::NoSuchInstance:
                it->value = {VTWIDUS_TYPE_NOSUCHINSTANCE, {}};
                break;
            case FaultAction::EmptyValue:
                it->value.bytes.clear();
                break;
            case FaultAction::OmitVarbind:
                it = varbinds.erase(it);
                continue;
            default:
                break;
            }
            ++it;
        }
    }
}

// Wireless settings written over USB: the printer tries the network at once, and once it joins
// it is on the network for every other face.
void TakeWirelessSettings(int busIndex, const std::vector<Varbind>& request) {
    const std::string ssidOid = FullOid(oids::kInfraSsid);
    const std::string keyOid = FullOid(oids::kInfraPassphrase);
    const bool wireless = std::any_of(request.begin(), request.end(), [&](const Varbind& vb) {
        return vb.oid == ssidOid || vb.oid == keyOid;
    });
    qelworld::WorldPrinter* printer = Scenario::Get().WorldPrinterAt(busIndex);
    if (!wireless || printer == nullptr) {
        return;
    }
    const auto text = [&](const std::string& oid) {
        const MibObject* o = printer->usb.Find(oid);
        return o == nullptr ? std::string()
                            : std::string(o->value.bytes.begin(), o->value.bytes.end());
    };
    qelworld::World::Get().TakeWifiSettings(*printer, text(ssidOid), text(keyOid), "vtwidwus");
}

int ErrorIndexFor(const Fault& f, const std::vector<Varbind>& request) {
    if (f.oid.empty()) {
        return 1;
    }
    for (std::size_t i = 0; i < request.size(); ++i) {
        if (OidIsUnder(request[i].oid, f.oid)) {
            return static_cast<int>(i + 1);
        }
    }
    return 1;
}

} // namespace

extern "C" {

int VTWIDUS_CALL VTWIDUS_Search(const VTWIDUS_USB_ENTRY** list) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults = Intercept(lock, VTWIDUSSIM_ENTRY_Search);
        if (list == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        if (faults.result) {
            if (faults.countWithoutList) {
                *list = nullptr;
            }
            return *faults.result;
        }
        if (faults.delayMs) {
            Scenario::Get().AdvanceTime(*faults.delayMs);
        }
        Scenario& scenario = Scenario::Get();
        const std::vector<int> printers = scenario.PluggedPrinters();
        *list = LibraryState::Get().PublishSearch(scenario, printers);
        return static_cast<int>(printers.size());
    });
}

VTWIDUS_USB_INSTANCE VTWIDUS_CALL VTWIDUS_CreateUsbInstance(const VTWIDUS_USB_ENTRY* entry) {
    try {
        auto lock = LockScenario();
        LibraryState& state = LibraryState::Get();
        const std::optional<int> printer = state.PrinterOfEntry(entry);
        const Interception faults =
            Intercept(lock, VTWIDUSSIM_ENTRY_CreateUsbInstance, printer.value_or(-1));
        if (faults.result || !printer) {
            return nullptr;
        }
        Scenario& scenario = Scenario::Get();
        if (!scenario.IsPlugged(*printer)) {
            return nullptr;
        }
        return state.NewInstance(*printer, scenario.Generation());
    } catch (...) {
        return nullptr;
    }
}

int VTWIDUS_CALL VTWIDUS_DestroyUsbInstance(VTWIDUS_USB_INSTANCE instance) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults =
            Intercept(lock, VTWIDUSSIM_ENTRY_DestroyUsbInstance, PrinterOf(instance));
        if (instance == nullptr) {
            return VTWIDUS_ERROR_CODE_SUCCESS;
        }
        if (!LibraryState::Get().DestroyInstance(instance)) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        return faults.result.value_or(VTWIDUS_ERROR_CODE_SUCCESS);
    });
}

int VTWIDUS_CALL VTWIDUS_SetUsbTimeout(VTWIDUS_USB_INSTANCE instance, int timeoutMs) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults =
            Intercept(lock, VTWIDUSSIM_ENTRY_SetUsbTimeout, PrinterOf(instance));
        if (faults.result) {
            return *faults.result;
        }
        UsbInstance* target = LibraryState::Get().FindInstance(instance);
        if (target == nullptr || timeoutMs < 0) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        target->timeoutMs = timeoutMs;
        Scenario::Get().SetLastUsbTimeout(target->printer, timeoutMs);
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_SetUsm(VTWIDUS_USB_INSTANCE instance, const char* userName,
                                const char* /*authPassword*/, const char* /*privPassword*/) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults = Intercept(lock, VTWIDUSSIM_ENTRY_SetUsm, PrinterOf(instance));
        if (faults.result) {
            return *faults.result;
        }
        UsbInstance* target = LibraryState::Get().FindInstance(instance);
        if (target == nullptr) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        target->usmUser = userName != nullptr ? userName : "";
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_DiscoveryV3(VTWIDUS_USB_INSTANCE instance) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        const Interception faults =
            Intercept(lock, VTWIDUSSIM_ENTRY_DiscoveryV3, PrinterOf(instance));
        Target target = FindTarget(instance);
        if (target.result != VTWIDUS_ERROR_CODE_SUCCESS) {
            return target.result;
        }
        if (faults.result) {
            return *faults.result;
        }
        if (auto timedOut = ApplyDelay(faults, target.instance->timeoutMs)) {
            return *timedOut;
        }
        target.instance->discovered = true;
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

int VTWIDUS_CALL VTWIDUS_Comm(VTWIDUS_USB_INSTANCE instance, VTWIDUS_PACKET request,
                              VTWIDUS_PACKET response) {
    return Guarded([&]() -> int {
        auto lock = LockScenario();
        LibraryState& state = LibraryState::Get();
        const Packet* req = state.FindPacket(request);
        const std::vector<std::string> oids =
            req != nullptr ? req->Oids() : std::vector<std::string>{};
        const Interception faults = Intercept(lock, VTWIDUSSIM_ENTRY_Comm, PrinterOf(instance),
                                              req != nullptr ? req->command : 0, &oids);
        // Everything is looked up again: a blocking fault let other threads run.
        Target target = FindTarget(instance);
        req = state.FindPacket(request);
        Packet* resp = state.FindPacket(response);
        if (target.instance == nullptr || req == nullptr || resp == nullptr || req == resp) {
            return VTWIDUS_ERROR_CODE_PARAM;
        }
        if (target.result != VTWIDUS_ERROR_CODE_SUCCESS) {
            return target.result;
        }
        if (faults.result) {
            return *faults.result;
        }
        if (auto timedOut = ApplyDelay(faults, target.instance->timeoutMs)) {
            return *timedOut;
        }
        if (!target.instance->discovered) {
            return VTWIDUS_ERROR_CODE_FAILED;
        }
        if (req->command != kGetRequest && req->command != kSetRequest) {
            return VTWIDUS_ERROR_CODE_ENCODE;
        }

        const std::vector<Varbind> varbinds = req->Varbinds();
        Scenario::Get().AddJournalLine(JournalLine(*target.printer, req->command, varbinds));
        AgentResponse answer;
        if (faults.errorStatus) {
            // The printer refuses the whole request and changes nothing.
            answer.errorStatus = faults.errorStatus->value;
            answer.errorIndex = ErrorIndexFor(*faults.errorStatus, varbinds);
            answer.varbinds = varbinds;
        } else {
            answer = Answer(*target.printer, req->command, varbinds);
            if (req->command == kSetRequest && answer.errorStatus == 0) {
                TakeWirelessSettings(target.instance->printer, varbinds);
            }
        }
        ApplyValueFaults(faults.valueFaults, answer.varbinds);

        resp->command = kGetResponse;
        resp->msgId = req->msgId;
        resp->requestId = req->requestId;
        resp->contextName = req->contextName;
        resp->errorStatus = answer.errorStatus;
        resp->errorIndex = answer.errorIndex;
        resp->ReplaceVarbinds(std::move(answer.varbinds));
        return VTWIDUS_ERROR_CODE_SUCCESS;
    });
}

} // extern "C"
