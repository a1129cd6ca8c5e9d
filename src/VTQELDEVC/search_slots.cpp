// The printer search on the network and on USB, and its device list.
#include "vtesdev_lib.h"

#include "task_pool.h"
#include "record_text.h"
#include "text_convert.h"
#include "vtmpu_ctrl.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace vtqeldevc {
namespace {

// Results of the two searches.
constexpr int kSearched = 0;
constexpr int kNothingSearched = 1; // or nothing found: not an error
constexpr int kSearchFailed = 2;
constexpr int kNoList = 3;

constexpr int kListenMs = 4000;
constexpr int kEntryBytes = sizeof(VTWNSCH_SEARCH_INFO);
// A USB printer without a serial number reports this one over the command protocol.
constexpr wchar_t kNoSerial[] = L"000000000";
constexpr int kUnsDeviceEntryBytes = VTWIDUNS_DEVICE_ENTRY_BYTES;

std::wstring SerialOf(const tagDeviceInfo& record) {
    return FieldText(record.serialNumber);
}
std::wstring ModelOf(const tagDeviceInfo& record) {
    return FieldText(record.model);
}

// A record worth offering: the printer answered the qel capability or the agreement.
bool Offered(const tagDeviceInfo& record) {
    return record.qelService != 0 || record.agreement != 0;
}

// The address by which a search entry's printer is reached: link-local IPv6 addresses carry
// the scope of their link.
std::string EntryAddress(const VTWNSCH_SEARCH_INFO& entry) {
    std::string address = FieldText(entry.address);
    std::string head = address.substr(0, 4);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (head == "fe80") {
        address += "%" + std::to_string(entry.scopeIndex);
    }
    return address;
}

// A USB printer as the wrapper listed it, with the texts that its identity must show.
struct UsbRow {
    tagUsbDevice device;
    std::wstring serial; // kNoSerial when the wrapper reported none
    std::wstring model;
};

UsbRow RowOf(const tagUsbDevice& device) {
    UsbRow row{device, AnsiToWide(FieldText(device.serialNumber_)),
               AnsiToWide(FieldText(device.modelName_))};
    if (row.serial.empty()) {
        row.serial = kNoSerial;
    }
    return row;
}

// The printers that only the device library reaches; the wrapper's rows are offered through
// the wrapper.
template <typename Query>
int SearchUnsDevices(const VtWidUnsLib& uns, const std::vector<UsbRow>& rows, Query&& query,
                     std::vector<tagDeviceInfo>* list) {
    if (!uns.ready()) {
        return kNothingSearched;
    }
    const UnsApi& api = uns.api();
    int work = 0;
    const int count = api.VTWIDUNS_Search(uns.instance(), nullptr, &work, 1);
    if (count < 1) {
        return kNothingSearched;
    }
    std::vector<char> entries(static_cast<std::size_t>(count) * kUnsDeviceEntryBytes);
    work = count;
    const int written = api.VTWIDUNS_Search(uns.instance(), entries.data(), &work, 0);
    if (written < 0) {
        return kNothingSearched;
    }
    for (int i = 0; i < std::min(written, count); ++i) {
        const char* entry = entries.data() + static_cast<std::size_t>(i) * kUnsDeviceEntryBytes;
        const std::wstring port =
            AnsiToWide(BoundedText(entry + VTWIDUNS_DEVICE_PORT_OFFSET,
                                   kUnsDeviceEntryBytes - VTWIDUNS_DEVICE_PORT_OFFSET));
        tagDeviceInfo record{};
        if (query(port, &record) != VTESDEV_OK) {
            continue;
        }
        if (std::any_of(rows.begin(), rows.end(), [&](const UsbRow& row) {
                return row.serial == SerialOf(record) && row.model == ModelOf(record);
            })) {
            continue;
        }
        DeviceConnection& c = record.connection;
        c.kind = VTESDEV_CONNECTION_USB_DEVICE_LIBRARY;
        std::memcpy(c.deviceKey, entry, sizeof(c.deviceKey));
        CopyToField(c.portName, std::wstring_view(port));
        list->push_back(record);
    }
    return kSearched;
}

} // namespace

int BatchSize(long long processors) noexcept {
    return static_cast<int>(std::clamp(processors - 1, 1LL, 1LL << 20));
}

int VTESDevLib::DoSearchDevices(int* count, int usbOnly) {
    if (count == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    const std::wstring folder = LibraryFolder();
    devices_.clear();
    if ((usbOnly & 0xFF) == 0) {
        std::vector<tagDeviceInfo> network;
        const int searched = SearchNetworkDevices(folder, &network);
        if (searched != kSearched && searched != kNothingSearched) {
            return VTESDEV_FAILED;
        }
        devices_ = std::move(network);
    }
    std::vector<tagDeviceInfo> usb;
    const int searched = SearchUsbDevices(folder, &usb);
    if (searched != kSearched && searched != kNothingSearched) {
        return VTESDEV_FAILED;
    }
    // A printer on the network and on USB is offered once, as its network record.
    const std::size_t network_records = devices_.size();
    for (const tagDeviceInfo& record : usb) {
        const auto first = devices_.begin();
        const auto last = first + static_cast<std::ptrdiff_t>(network_records);
        if (std::none_of(first, last, [&](const tagDeviceInfo& n) {
                return SerialOf(n) == SerialOf(record) && ModelOf(n) == ModelOf(record);
            })) {
            devices_.push_back(record);
        }
    }
    *count = static_cast<int>(devices_.size());
    return VTESDEV_OK;
}

int VTESDevLib::DoCancelSearch() {
    wnsch_.Cancel();
    return VTESDEV_OK;
}

int VTESDevLib::DoGetDeviceList(tagDeviceInfo* out, int count) {
    if (out == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(count, 0)), devices_.size());
    std::copy_n(devices_.begin(), n, out);
    return VTESDEV_OK;
}

int VTESDevLib::SearchNetworkDevices(const std::wstring& folder, std::vector<tagDeviceInfo>* list) {
    if (folder.empty()) {
        return kSearchFailed;
    }
    if (wnsch_.Load(folder.c_str()) != kLibraryLoaded) {
        return kSearchFailed;
    }
    // Unloaded on every path, also when something below throws.
    struct Unload {
        VtWnschLib& library;
        ~Unload() { library.Release(); }
    } const unload{wnsch_};
    const WnschApi& api = wnsch_.api();
    const VTWNSCH_INSTANCE instance = wnsch_.instance();
    if (api.VTWNSCH_OptSetting(instance, VTWNSCH_OPTION_TIMEOUT_MS, kListenMs) != VTWNSCH_OK) {
        return kNothingSearched;
    }
    int found = api.VTWNSCH_Search(instance, 0, 0, 0);
    if (found < 0) {
        found = api.VTWNSCH_SearchByIpv6(instance, 0, 0, 0);
    }
    if (found <= 0) {
        return kNothingSearched;
    }
    unsigned size = 0;
    if (api.VTWNSCH_EnumSearchInfo(instance, nullptr, &size) != VTWNSCH_OK) {
        return kSearchFailed;
    }
    // Room for all the bytes reported, in whole entries.
    std::vector<VTWNSCH_SEARCH_INFO> entries((size + kEntryBytes - 1) / kEntryBytes);
    if (entries.empty()) {
        return kSearched;
    }
    unsigned written = static_cast<unsigned>(entries.size() * kEntryBytes);
    if (api.VTWNSCH_EnumSearchInfo(instance, entries.data(), &written) != VTWNSCH_OK) {
        return kSearchFailed;
    }
    const std::size_t usable = std::min({static_cast<std::size_t>(found), entries.size(),
                                         static_cast<std::size_t>(written / kEntryBytes)});

    // Each printer is asked in a task of its own, a batch at a time.
    const int batch = BatchSize(platform_.Processors());
    TaskPool pool(static_cast<int>(std::min(usable, static_cast<std::size_t>(batch))));
    for (std::size_t start = 0; start < usable; start += static_cast<std::size_t>(batch)) {
        const std::size_t end = std::min(usable, start + static_cast<std::size_t>(batch));
        std::vector<tagDeviceInfo> records(end - start);
        pool.RunBatch(records.size(), [&](std::size_t i) {
            records[i] = GetDeviceInfoTask(EntryAddress(entries[start + i]));
        });
        // In launch order, which is the order the search found them in.
        std::copy_if(records.begin(), records.end(), std::back_inserter(*list), Offered);
    }
    return kSearched;
}

tagDeviceInfo VTESDevLib::GetDeviceInfoTask(const std::string& address) const {
    tagDeviceInfo record{};
    const std::wstring wide = AnsiToWide(address);
    // A printer that does not answer leaves the fields it did not reach at zero.
    QueryDeviceInfo(wide.c_str(), VTESDEV_PORT_NETWORK_ADDRESS, &record);
    CopyToField(record.address, std::wstring_view(wide));
    return record;
}

int VTESDevLib::SearchUsbDevices(const std::wstring& folder, std::vector<tagDeviceInfo>* list) {
    if (list == nullptr) {
        return kNoList;
    }
    std::vector<UsbRow> rows;
    if (wus_.ready()) {
        int n = 0;
        tagUsbDevice* listed = nullptr;
        if (wus_.api().VTWIDWUS_Search(wus_.instance(), &n, &listed) ==
                VTWIDWUS_ERROR_CODE_SUCCESS &&
            listed != nullptr) {
            for (int i = 0; i < n; ++i) {
                rows.push_back(RowOf(listed[i]));
            }
        }
    }
    if (!rows.empty()) {
        CVTMPUCtrl ports(platform_);
        if (ports.LoadPortLib(folder.c_str()) != 0) {
            return kSearchFailed;
        }
        for (const UsbRow& row : rows) {
            std::vector<std::wstring> names;
            ports.GetPortList(names);
            for (const std::wstring& port : names) {
                tagDeviceInfo record{};
                if (QueryDeviceInfo(port.c_str(), VTESDEV_PORT_USB_PORT, &record) != VTESDEV_OK ||
                    SerialOf(record) != row.serial || ModelOf(record) != row.model) {
                    continue;
                }
                DeviceConnection& c = record.connection;
                c.kind = VTESDEV_CONNECTION_USB_WRAPPER;
                CopyToField(c.portName, std::wstring_view(port));
                CopyToField(c.modelName, std::string_view(FieldText(row.device.modelName_)));
                CopyToField(c.serialNumber, std::string_view(FieldText(row.device.serialNumber_)));
                list->push_back(record);
                break;
            }
        }
    }
    return SearchUnsDevices(
        uns_, rows,
        [this](const std::wstring& port, tagDeviceInfo* record) {
            return QueryDeviceInfo(port.c_str(), VTESDEV_PORT_USB_PORT, record);
        },
        list);
}

} // namespace vtqeldevc
