// VTESDevLib, the device interface object that vtqeldevc.dll hands out: it owns the bindings of
// the outside libraries for one device operation, the current port control and what the
// operations keep between slots.
//
// Every slot runs its work through the library's guard (guard.h): the work below may throw,
// the slot returns its failure code instead.
#pragma once

#include "platform.h"
#include "port_control.h"
#include "qel_job.h"
#include "vtwiduns_lib.h"
#include "vtwidwus_lib.h"
#include "vtwnsch_lib.h"

#include <vtqeldevc/vtqeldevc.h>

#include <memory>
#include <string>
#include <vector>

namespace vtqeldevc {

class VTESDevLib final : public VTESDevIF {
public:
    // library_module: the module beside which the outside libraries lie (the DLL itself).
    explicit VTESDevLib(HMODULE library_module, Platform platform = {});
    ~VTESDevLib() override;
    VTESDevLib(const VTESDevLib&) = delete;
    VTESDevLib& operator=(const VTESDevLib&) = delete;

    int Initialize() noexcept override;
    int Terminate() noexcept override;
    int GetDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out) noexcept override;
    int SelectDevice(const wchar_t* address, int portType) noexcept override;
    int GetRegisteredId(wchar_t* out, int outChars) noexcept override;
    int CreateId(const CreateIdRequest* request, wchar_t* out, int outChars) noexcept override;
    int EndSession() noexcept override;
    int SetDeviceAgreement(const wchar_t* address, int portType, int reserved) noexcept override;
    int GetConnectivityTestResult(const wchar_t* address, int portType,
                                  unsigned char* out) noexcept override;
    int SearchDevices(int* count, int usbOnly) noexcept override;
    int CancelSearch() noexcept override;
    int GetDeviceList(tagDeviceInfo* out, int count) noexcept override;
    int SearchAccessPoints(const DeviceConnection* connection, wchar_t* ssidOut, int ssidChars,
                           wchar_t* keyOut, int keyChars) noexcept override;
    int ApplyAccessPoint(const DeviceConnection* connection, const wchar_t* ssid,
                         const wchar_t* key) noexcept override;
    int GetAccessPointList(AccessPointEntry* out, int* count) noexcept override;

    // The identity of one printer over a port control of the call's own (device_info.h): calls
    // may run on several threads at once.
    int QueryDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out) const;

private:
    // The work of the slots, in slot order.
    int DoInitialize();
    int DoTerminate() noexcept;
    int DoGetDeviceInfo(const wchar_t* address, int portType, tagDeviceInfo* out);
    int DoSelectDevice(const wchar_t* address, int portType);
    int DoGetRegisteredId(wchar_t* out, int outChars);
    int DoCreateId(const CreateIdRequest* request, wchar_t* out, int outChars);
    int DoEndSession();
    int DoSetDeviceAgreement(const wchar_t* address, int portType);
    int DoGetConnectivityTestResult(const wchar_t* address, int portType, unsigned char* out);
    int DoSearchDevices(int* count, int usbOnly);
    int DoCancelSearch();
    int DoGetDeviceList(tagDeviceInfo* out, int count);
    int DoSearchAccessPoints(const DeviceConnection* connection, wchar_t* ssidOut, int ssidChars,
                             wchar_t* keyOut, int keyChars);
    int DoApplyAccessPoint(const DeviceConnection* connection, const wchar_t* ssid,
                           const wchar_t* key);
    int DoGetAccessPointList(AccessPointEntry* out, int* count);

    // The two halves of a printer search, each into its own list: 0 searched; 1 nothing
    // searched or found; 2 a library could not be used; 3 no list.
    int SearchNetworkDevices(const std::wstring& folder, std::vector<tagDeviceInfo>* list);
    int SearchUsbDevices(const std::wstring& folder, std::vector<tagDeviceInfo>* list);
    // One printer of a network search, on a task of its own.
    tagDeviceInfo GetDeviceInfoTask(const std::string& address) const;

    // The folder the outside libraries are loaded from; empty when it cannot be read, and then
    // nothing is loaded.
    std::wstring LibraryFolder() const { return ModuleFolder(library_module_); }

    HMODULE library_module_;
    Platform platform_;
    // Destroyed in reverse: the port control closes its channel and unloads its library before
    // the holders release theirs.
    VtWnschLib wnsch_;
    VtWidUnsLib uns_;
    VtWidwusLib wus_;
    std::unique_ptr<CVTMPUCom> port_;
    // Whether port_ drives the older library (after a selection by a USB port type).
    bool older_port_ = false;
    std::vector<tagDeviceInfo> devices_;
    // The selection: its job values, key text and job description, from SelectDevice to
    // EndSession.
    QelJob job_;
    std::vector<AccessPointEntry> access_points_;
};

// How many printers a network search asks at once: one less than the processors, at least one
// (worked out in signed numbers, so that no processor count wraps round).
int BatchSize(long long processors) noexcept;

} // namespace vtqeldevc
