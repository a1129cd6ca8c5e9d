#include "printerutil_testing/fake_device_library.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "qelcmn/text_utils.h"

namespace printerutil::testing {
namespace {

std::atomic<FakeDeviceLibrary*> active{nullptr};

std::string Narrow(const wchar_t* text) {
    return text != nullptr ? qelcmn::WideToUtf8Replacing(text) : std::string("<null>");
}

template <std::size_t N> void Put(wchar_t (&field)[N], const std::wstring& text) {
    const std::size_t n = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), n, field);
    field[n] = L'\0';
}

void PutText(wchar_t* out, int chars, const std::wstring& text) {
    if (out == nullptr || chars <= 0) {
        return;
    }
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(chars - 1));
    std::copy_n(text.begin(), n, out);
    out[n] = L'\0';
}

class FakeDevice final : public VTESDevIF {
public:
    explicit FakeDevice(FakeDeviceLibrary& library) : library_(library) {}

    int Initialize() noexcept override { return Call("Initialize", script().initialize); }
    int Terminate() noexcept override { return Call("Terminate", 0); }
    int GetDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out) noexcept override {
        const int result = Call("GetDeviceInfo " + Narrow(address) + " " + std::to_string(portType),
                                script().getDeviceInfo);
        if (result == 0 && out != nullptr) {
            *out = script().deviceInfo;
        }
        return result;
    }
    int SelectDevice(const wchar_t* address, int portType) noexcept override {
        return Call("SelectDevice " + Narrow(address) + " " + std::to_string(portType),
                    script().selectDevice);
    }
    int GetRegisteredId(wchar_t* out, int outChars) noexcept override {
        const int result = Call("GetRegisteredId", script().getRegisteredId);
        if (result == 0) {
            PutText(out, outChars, script().registeredId);
        }
        return result;
    }
    int CreateId(const CreateIdRequest* request, wchar_t* out, int outChars) noexcept override {
        const int result = Call("CreateId", script().createId);
        if (request != nullptr) {
            library_.RecordCreateId(*request);
        }
        if (result == 0 && request != nullptr) {
            PutText(out, outChars, FakeDeviceLibrary::CreatedIdentity(request->access_token));
        }
        return result;
    }
    int EndSession() noexcept override { return Call("EndSession", script().endSession); }
    int SetDeviceAgreement(const wchar_t* address, int portType, int reserved) noexcept override {
        return Call("SetDeviceAgreement " + Narrow(address) + " " + std::to_string(portType) + " " +
                        std::to_string(reserved),
                    script().setDeviceAgreement);
    }
    int GetConnectivityTestResult(const wchar_t* address, int portType,
                                  unsigned char* out) noexcept override {
        Call("GetConnectivityTestResult " + Narrow(address) + " " + std::to_string(portType), 0);
        const auto [result, value] = library_.NextConnectivityAnswer();
        if (out != nullptr) {
            *out = value;
        }
        return result;
    }
    int SearchDevices(int* count, int usbOnly) noexcept override {
        const int result = Call("SearchDevices " + std::to_string(usbOnly), script().searchDevices);
        if (count != nullptr) {
            const int found = script().searchCount >= 0 ? script().searchCount
                                                        : static_cast<int>(script().devices.size());
            *count = result == 0 ? found : 0;
        }
        return result;
    }
    int CancelSearch() noexcept override { return Call("CancelSearch", 0); }
    int GetDeviceList(tagDeviceInfo* out, int count) noexcept override {
        const int result = Call("GetDeviceList " + std::to_string(count), script().getDeviceList);
        if (result == 0 && out != nullptr) {
            const auto& devices = script().devices;
            std::copy_n(devices.begin(), std::min<std::size_t>(devices.size(), count), out);
        }
        return result;
    }
    int SearchAccessPoints(const DeviceConnection* connection, wchar_t* ssidOut, int ssidChars,
                           wchar_t* keyOut, int keyChars) noexcept override {
        const int result = Call("SearchAccessPoints " +
                                    std::to_string(connection != nullptr ? connection->kind : -1),
                                script().searchAccessPoints);
        if (result == 0) {
            PutText(ssidOut, ssidChars, script().matchedSsid);
            PutText(keyOut, keyChars, script().matchedKey);
        }
        return result;
    }
    int ApplyAccessPoint(const DeviceConnection* connection, const wchar_t* ssid,
                         const wchar_t* key) noexcept override {
        return Call("ApplyAccessPoint " +
                        std::to_string(connection != nullptr ? connection->kind : -1) + " " +
                        Narrow(ssid) + " " + Narrow(key),
                    script().applyAccessPoint);
    }
    int GetAccessPointList(AccessPointEntry* out, int* count) noexcept override {
        Call(std::string("GetAccessPointList ") + (out == nullptr ? "size" : "names"), 0);
        if (count == nullptr) {
            return VTESDEV_NULL_ARGUMENT;
        }
        const auto& names = script().accessPoints;
        if (out == nullptr) {
            *count = static_cast<int>(names.size());
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(names.size(), std::max(*count, 0));
        for (std::size_t i = 0; i < n; ++i) {
            Put(out[i].ssid, names[i]);
        }
        return 0;
    }

private:
    const DeviceScript& script() const { return library_.script; }
    int Call(std::string call, int result) {
        library_.Record(std::move(call));
        return result;
    }

    FakeDeviceLibrary& library_;
};

} // namespace

// The exports' stand-ins, bound to whichever fake library is alive.
struct FakeEntries {
    static int WINAPI Create(VTESDevIF** object) noexcept {
        FakeDeviceLibrary* library = active.load();
        if (library == nullptr || object == nullptr || *object != nullptr) {
            return 0;
        }
        library->Record("Create");
        if (library->refusesObjects) {
            return 0;
        }
        *object = new FakeDevice(*library);
        std::lock_guard<std::mutex> hold(library->lock_);
        ++library->live_;
        return 1;
    }
    static void WINAPI Delete(VTESDevIF** object) noexcept {
        FakeDeviceLibrary* library = active.load();
        if (object == nullptr || *object == nullptr) {
            return;
        }
        delete *object;
        *object = nullptr;
        if (library != nullptr) {
            library->Record("Delete");
            std::lock_guard<std::mutex> hold(library->lock_);
            --library->live_;
        }
    }
};

FakeDeviceLibrary::FakeDeviceLibrary() : scope_(*this) {
    active.store(this);
}

FakeDeviceLibrary::~FakeDeviceLibrary() {
    active.store(nullptr);
}

std::optional<DeviceEntries> FakeDeviceLibrary::Entries() {
    if (outOfMemory) {
        throw std::bad_alloc();
    }
    if (missing) {
        return std::nullopt;
    }
    return DeviceEntries{&FakeEntries::Create, &FakeEntries::Delete};
}

bool FakeDeviceLibrary::IsUsbPrinterQueue(const std::wstring& queueName) {
    return usbQueues.count(queueName) != 0;
}

std::vector<std::string> FakeDeviceLibrary::Calls() const {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
}

std::string FakeDeviceLibrary::SlotCalls() const {
    std::string joined;
    for (const auto& call : Calls()) {
        if (call != "Create" && call != "Initialize" && call != "Terminate" && call != "Delete") {
            joined += (joined.empty() ? "" : "|") + call;
        }
    }
    return joined;
}

void FakeDeviceLibrary::ClearCalls() {
    std::lock_guard<std::mutex> hold(lock_);
    calls_.clear();
}

int FakeDeviceLibrary::LiveObjects() const {
    std::lock_guard<std::mutex> hold(lock_);
    return live_;
}

CreateIdRequest FakeDeviceLibrary::LastCreateIdRequest() const {
    std::lock_guard<std::mutex> hold(lock_);
    return lastRequest_;
}

std::wstring FakeDeviceLibrary::CreatedIdentity(const std::wstring& accessToken) {
    return L"VTP-" + (accessToken.size() > 3 ? accessToken.substr(3) : accessToken);
}

void FakeDeviceLibrary::Record(std::string call) {
    if (onCall) {
        onCall(call);
    }
    std::lock_guard<std::mutex> hold(lock_);
    calls_.push_back(std::move(call));
}

void FakeDeviceLibrary::RecordCreateId(const CreateIdRequest& request) {
    std::lock_guard<std::mutex> hold(lock_);
    lastRequest_ = request;
}

std::pair<int, unsigned char> FakeDeviceLibrary::NextConnectivityAnswer() {
    std::lock_guard<std::mutex> hold(lock_);
    const auto& answers = script.connectivity;
    if (answers.empty()) {
        return {0, 200};
    }
    const std::size_t i = std::min(connectivityIndex_, answers.size() - 1);
    ++connectivityIndex_;
    return answers[i];
}

tagDeviceInfo MakeDeviceInfo(const std::wstring& model, const std::wstring& serial,
                             const std::wstring& region, unsigned char qelService,
                             unsigned char serviceKind, unsigned char agreement,
                             unsigned char connectionKind, const std::wstring& address,
                             const std::wstring& mac) {
    tagDeviceInfo info{};
    info.qelService = qelService;
    Put(info.model, model);
    Put(info.serialNumber, serial);
    Put(info.address, address);
    Put(info.regionCode, region);
    Put(info.hardwareAddress, mac);
    info.agreement = agreement;
    info.connection.kind = connectionKind;
    info.serviceKind = serviceKind;
    return info;
}

} // namespace printerutil::testing
