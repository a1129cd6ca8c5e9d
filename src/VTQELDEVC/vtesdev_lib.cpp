#include "vtesdev_lib.h"

#include "guard.h"
#include "vtmpu2_ctrl.h"

namespace vtqeldevc {

VTESDevLib::VTESDevLib(HMODULE library_module, Platform platform)
    : library_module_(library_module), platform_(std::move(platform)), wnsch_(platform_),
      uns_(platform_), wus_(platform_), port_(std::make_unique<CVTMPU2Ctrl>(platform_)) {}

VTESDevLib::~VTESDevLib() = default;

int VTESDevLib::DoInitialize() {
    // The order is fixed: a missing device library stops before the wrapper is tried.
    const std::wstring folder = LibraryFolder();
    if (uns_.Load(folder.c_str()) != kLibraryLoaded ||
        wus_.Load(folder.c_str()) != kLibraryLoaded || port_->LoadPortLib(folder.c_str()) != 0) {
        // What was loaded stays for Terminate, which the caller runs after every Initialize.
        return VTESDEV_FAILED;
    }
    return VTESDEV_OK;
}

int VTESDevLib::DoTerminate() noexcept {
    port_->UnloadPortLib();
    uns_.Release();
    wus_.Release();
    return VTESDEV_OK;
}

// Each slot: its work behind the guard, which answers the slot's failure code for anything
// thrown.
int VTESDevLib::Initialize() noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoInitialize(); });
}
int VTESDevLib::Terminate() noexcept {
    return Guarded(VTESDEV_OK, [&] { return DoTerminate(); });
}
int VTESDevLib::GetDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoGetDeviceInfo(address, portType, out); });
}
int VTESDevLib::SelectDevice(const wchar_t* address, int portType) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoSelectDevice(address, portType); });
}
int VTESDevLib::GetRegisteredId(wchar_t* out, int outChars) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoGetRegisteredId(out, outChars); });
}
int VTESDevLib::CreateId(const CreateIdRequest* request, wchar_t* out, int outChars) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoCreateId(request, out, outChars); });
}
int VTESDevLib::EndSession() noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoEndSession(); });
}
int VTESDevLib::SetDeviceAgreement(const wchar_t* address, int portType, int) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoSetDeviceAgreement(address, portType); });
}
int VTESDevLib::GetConnectivityTestResult(const wchar_t* address, int portType,
                                          unsigned char* out) noexcept {
    return Guarded(VTESDEV_FAILED,
                   [&] { return DoGetConnectivityTestResult(address, portType, out); });
}
int VTESDevLib::SearchDevices(int* count, int usbOnly) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoSearchDevices(count, usbOnly); });
}
int VTESDevLib::CancelSearch() noexcept {
    return Guarded(VTESDEV_OK, [&] { return DoCancelSearch(); });
}
int VTESDevLib::GetDeviceList(tagDeviceInfo* out, int count) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoGetDeviceList(out, count); });
}
int VTESDevLib::SearchAccessPoints(const DeviceConnection* connection, wchar_t* ssidOut,
                                   int ssidChars, wchar_t* keyOut, int keyChars) noexcept {
    return Guarded(VTESDEV_AP_SEARCH_FAILED, [&] {
        return DoSearchAccessPoints(connection, ssidOut, ssidChars, keyOut, keyChars);
    });
}
int VTESDevLib::ApplyAccessPoint(const DeviceConnection* connection, const wchar_t* ssid,
                                 const wchar_t* key) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoApplyAccessPoint(connection, ssid, key); });
}
int VTESDevLib::GetAccessPointList(AccessPointEntry* out, int* count) noexcept {
    return Guarded(VTESDEV_FAILED, [&] { return DoGetAccessPointList(out, count); });
}

} // namespace vtqeldevc
