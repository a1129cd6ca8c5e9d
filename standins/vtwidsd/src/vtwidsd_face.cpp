// vtwidsd.dll as a face of the simulated world: a search takes the world's search time (real
// time, without the world's lock) and then lists the printers on the network that answer a
// search, their IPv4 addresses or, for the IPv6 search, their IPv6 addresses with the scope of
// their link. A cancel from another thread ends a search at once and stays in force for the
// instance, so a search started after it finds nothing either.
#include "vtwidsd/vtwidsd_api.h"

#include "face_frame.h"

#include "win/unique_any.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace {

using namespace qelworld;

constexpr unsigned kEntryBytes = sizeof(VTWNSCH_SEARCH_INFO);

struct Instance {
    Instance() : cancel(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    qelwin::unique_handle cancel; // set once cancelled, never reset
    bool cancelled = false;
    int listenMs = 0; // option 4, as set; the search time is the world's
    std::vector<SearchEntry> found;
};

class SearchFace final : public FaceState {
public:
    std::string_view Library() const override { return "vtwidsd"; }
    void Reset() override {
        for (auto& [number, instance] : instances) {
            instance->found.clear();
        }
    }
    int DropHandles() override {
        const int open = static_cast<int>(instances.size());
        instances.clear();
        return open;
    }

    // Shared: a search keeps its instance while it waits without the lock.
    std::map<std::uintptr_t, std::shared_ptr<Instance>> instances;
    std::uintptr_t next = 1;
};

VTWNSCH_INSTANCE HandleOf(std::uintptr_t number) {
    return reinterpret_cast<VTWNSCH_INSTANCE>(0x5E000000u + number * 16);
}

std::shared_ptr<Instance> Find(SearchFace& face, VTWNSCH_INSTANCE handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value <= 0x5E000000u || (value - 0x5E000000u) % 16 != 0) {
        return nullptr;
    }
    const auto it = face.instances.find((value - 0x5E000000u) / 16);
    return it == face.instances.end() ? nullptr : it->second;
}

// The entry's fault as a code: a number as it stands, a word as a failure.
std::optional<int> FaultCode(World& world, const char* entry) {
    const auto fault = world.Fire(nullptr, entry);
    if (!fault) {
        return std::nullopt;
    }
    return fault->code.value_or(VTWNSCH_ERR_FAILED);
}

int Search(const char* entry, VTWNSCH_INSTANCE handle, bool ipv6) {
    return Guarded(VTWNSCH_ERR_FAILED, [&] {
        FaceFrame frame(entry);
        const std::shared_ptr<Instance> instance = Find(frame.world.Face<SearchFace>(), handle);
        if (!instance) {
            return frame.Done(VTWNSCH_ERR_PARAM);
        }
        if (const auto code = FaultCode(frame.world, entry)) {
            return frame.Done(*code);
        }
        instance->found.clear();
        const unsigned delay = frame.world.Settings().searchDelayMs;
        if (!instance->cancelled && delay > 0) {
            frame.Unlocked([&] { ::WaitForSingleObject(instance->cancel.get(), delay); });
        }
        if (instance->cancelled) {
            return frame.Done(VTWNSCH_ERR_CANCELED, "cancelled");
        }
        instance->found = frame.world.NetworkSearch(ipv6);
        return frame.Done(static_cast<int>(instance->found.size()));
    });
}

// The entries of a search as the library hands them out, with the ways a faulty library would
// hand them out instead: fewer than it found ("short"), a size that is no whole number of
// entries with the odd bytes written ("ragged"), addresses that fill their field without a
// terminator and run on into the rest of the entry ("unterminated").
std::string Entries(const std::vector<SearchEntry>& found, std::string_view fault) {
    std::string bytes;
    for (const SearchEntry& e : found) {
        VTWNSCH_SEARCH_INFO info{};
        info.scopeIndex = static_cast<int32_t>(e.scope);
        std::memcpy(info.address, e.address.data(),
                    std::min<std::size_t>(e.address.size(), VTWNSCH_ADDRESS_BYTES - 1));
        if (fault == "unterminated") {
            const std::size_t used = std::strlen(info.address);
            std::memset(info.address + used, '0', VTWNSCH_ADDRESS_BYTES - used);
            std::memset(info.reserved, '9', sizeof(info.reserved));
        }
        bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    }
    if (fault == "short" && !bytes.empty()) {
        bytes.resize(bytes.size() - kEntryBytes);
    } else if (fault == "ragged") {
        bytes.append(kEntryBytes / 2, 'x');
    }
    return bytes;
}

} // namespace

extern "C" {

VTWNSCH_INSTANCE VTWNSCH_CALL VTWNSCH_CreateInstance(void) {
    return Guarded<VTWNSCH_INSTANCE>(nullptr, [] {
        FaceFrame frame("VTWNSCH_CreateInstance");
        SearchFace& face = frame.world.Face<SearchFace>();
        if (frame.world.Fire(nullptr, "VTWNSCH_CreateInstance")) {
            return frame.Done<VTWNSCH_INSTANCE>(nullptr, "null");
        }
        const std::uintptr_t number = face.next++;
        face.instances[number] = std::make_shared<Instance>();
        return frame.Done(HandleOf(number), "#" + std::to_string(number));
    });
}

void VTWNSCH_CALL VTWNSCH_DestroyInstance(VTWNSCH_INSTANCE instance) {
    Guarded(0, [&] {
        FaceFrame frame("VTWNSCH_DestroyInstance");
        SearchFace& face = frame.world.Face<SearchFace>();
        const auto value = reinterpret_cast<std::uintptr_t>(instance);
        const bool known = Find(face, instance) != nullptr;
        if (known) {
            face.instances.erase((value - 0x5E000000u) / 16);
        }
        return frame.Done(known ? VTWNSCH_OK : VTWNSCH_ERR_PARAM);
    });
}

int VTWNSCH_CALL VTWNSCH_OptSetting(VTWNSCH_INSTANCE instance, int option, int value) {
    return Guarded(VTWNSCH_ERR_FAILED, [&] {
        FaceFrame frame("VTWNSCH_OptSetting");
        frame.Args(std::to_string(option) + " " + std::to_string(value));
        const auto found = Find(frame.world.Face<SearchFace>(), instance);
        if (!found || option != VTWNSCH_OPTION_TIMEOUT_MS || value <= 0) {
            return frame.Done(VTWNSCH_ERR_PARAM);
        }
        if (const auto code = FaultCode(frame.world, "VTWNSCH_OptSetting")) {
            return frame.Done(*code);
        }
        found->listenMs = value;
        return frame.Done(VTWNSCH_OK);
    });
}

int VTWNSCH_CALL VTWNSCH_Search(VTWNSCH_INSTANCE instance, int, int, int) {
    return Search("VTWNSCH_Search", instance, false);
}

int VTWNSCH_CALL VTWNSCH_SearchByIpv6(VTWNSCH_INSTANCE instance, int, int, int) {
    return Search("VTWNSCH_SearchByIpv6", instance, true);
}

int VTWNSCH_CALL VTWNSCH_CancelSearch(VTWNSCH_INSTANCE instance) {
    return Guarded(VTWNSCH_ERR_FAILED, [&] {
        FaceFrame frame("VTWNSCH_CancelSearch");
        const auto found = Find(frame.world.Face<SearchFace>(), instance);
        if (!found) {
            return frame.Done(VTWNSCH_ERR_PARAM);
        }
        if (const auto code = FaultCode(frame.world, "VTWNSCH_CancelSearch")) {
            return frame.Done(*code);
        }
        found->cancelled = true;
        ::SetEvent(found->cancel.get());
        return frame.Done(VTWNSCH_OK);
    });
}

int VTWNSCH_CALL VTWNSCH_EnumSearchInfo(VTWNSCH_INSTANCE instance, void* buffer, unsigned* size) {
    return Guarded(VTWNSCH_ERR_FAILED, [&] {
        FaceFrame frame("VTWNSCH_EnumSearchInfo");
        frame.Args(std::string(buffer != nullptr ? "buffer " : "") +
                   (size != nullptr ? std::to_string(*size) : "-"));
        const auto found = Find(frame.world.Face<SearchFace>(), instance);
        if (!found || size == nullptr) {
            return frame.Done(VTWNSCH_ERR_PARAM);
        }
        const auto fault = frame.world.Fire(nullptr, "VTWNSCH_EnumSearchInfo");
        if (fault && (fault->code || fault->action == "fail")) {
            return frame.Done(fault->code.value_or(VTWNSCH_ERR_FAILED));
        }
        const std::string bytes = Entries(found->found, fault ? fault->action : "");
        if (buffer == nullptr) {
            *size = static_cast<unsigned>(bytes.size());
            return frame.Done(VTWNSCH_OK);
        }
        // Whole entries that fit, or with a ragged fault everything that fits.
        std::size_t n = std::min<std::size_t>(*size, bytes.size());
        if (!fault || fault->action != "ragged") {
            n -= n % kEntryBytes;
        }
        std::memcpy(buffer, bytes.data(), n);
        *size = static_cast<unsigned>(n);
        return frame.Done(VTWNSCH_OK);
    });
}

} // extern "C"
