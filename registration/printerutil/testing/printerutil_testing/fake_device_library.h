// A device library in the test process: its objects answer from a script and log every call,
// so device operations and registrations run without vtqeldevc.dll and without printers. While
// it lives it is the device backend of the process.
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "printerutil/device_library.h"

namespace printerutil::testing {

// What the library's objects answer. Slot results are the library's codes (0 success).
struct DeviceScript {
    int initialize = 0;
    int getDeviceInfo = 0;
    tagDeviceInfo deviceInfo{}; // what GetDeviceInfo writes
    int selectDevice = 0;
    int getRegisteredId = 0;
    int createId = 0;
    int endSession = 0;
    int setDeviceAgreement = 0;
    std::wstring registeredId = L"VTP-REG-0001";
    // Answers of GetConnectivityTestResult in turn (result, value); the last one repeats.
    std::vector<std::pair<int, unsigned char>> connectivity{{0, 202}};
    int searchDevices = 0;
    int searchCount = -1; // the count SearchDevices reports; -1: as many as there are devices
    int getDeviceList = 0;
    std::vector<tagDeviceInfo> devices = {}; // what the searches find
    int searchAccessPoints = 0;
    std::wstring matchedSsid = L"HomeNet";
    std::wstring matchedKey = L"secret-key";
    std::vector<std::wstring> accessPoints = {}; // what GetAccessPointList lists
    int applyAccessPoint = 0;
};

class FakeDeviceLibrary final : public IDeviceBackend {
public:
    FakeDeviceLibrary();
    ~FakeDeviceLibrary() override;
    FakeDeviceLibrary(const FakeDeviceLibrary&) = delete;
    FakeDeviceLibrary& operator=(const FakeDeviceLibrary&) = delete;

    DeviceScript script;
    bool missing = false;             // the library is not there
    bool refusesObjects = false;      // CreateVTESDev gives no object
    bool outOfMemory = false;         // reaching the library throws std::bad_alloc
    std::set<std::wstring> usbQueues; // queue names on USB ports
    // Told of every slot call, on the caller's thread, before the slot answers.
    std::function<void(const std::string& slot)> onCall;

    std::optional<DeviceEntries> Entries() override;
    bool IsUsbPrinterQueue(const std::wstring& queueName) override;

    // Every call in order: "Create", "Initialize", "SelectDevice 192.0.2.5 1", "Delete", ...
    std::vector<std::string> Calls() const;
    // The same joined with "|", creation, Initialize, Terminate and deletion left out.
    std::string SlotCalls() const;
    void ClearCalls();
    // Objects created and not yet deleted.
    int LiveObjects() const;
    // The last request CreateId received, and the identity the printer created from it:
    // "VTP-" and the access token's characters after its first three.
    CreateIdRequest LastCreateIdRequest() const;
    static std::wstring CreatedIdentity(const std::wstring& accessToken);

    // The object's side.
    void Record(std::string call);
    void RecordCreateId(const CreateIdRequest& request);
    std::pair<int, unsigned char> NextConnectivityAnswer();

private:
    mutable std::mutex lock_;
    std::vector<std::string> calls_;
    int live_ = 0;
    std::size_t connectivityIndex_ = 0;
    CreateIdRequest lastRequest_{};
    ScopedDeviceBackend scope_;

    friend struct FakeEntries;
};

// A tagDeviceInfo with the texts and bytes a test names.
tagDeviceInfo MakeDeviceInfo(const std::wstring& model, const std::wstring& serial,
                             const std::wstring& region, unsigned char qelService,
                             unsigned char serviceKind, unsigned char agreement,
                             unsigned char connectionKind, const std::wstring& address = L"",
                             const std::wstring& mac = L"");

} // namespace printerutil::testing
