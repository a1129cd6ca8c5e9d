// The printer's command sequences of a registration: the qel job (selection, registered and
// created IDs, end), the agreement and the connectivity test.
#include "device_jobs.h"
#include "record_text.h"
#include "text_convert.h"
#include "vtesdev_lib.h"

namespace vtqeldevc {

int VTESDevLib::DoSelectDevice(const wchar_t* address, int portType) {
    if (address == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    job_.Forget();
    const bool older = UsesOlderPortLibrary(portType);
    // The USB port types take a fresh control of the older library; after one of them the
    // network types need the newer library back.
    if (older || older_port_) {
        std::unique_ptr<CVTMPUCom> port = MakePortControl(portType, platform_);
        port_ = std::move(port);
        older_port_ = older;
        if (port_->LoadPortLib(LibraryFolder().c_str()) != 0) {
            return VTESDEV_FAILED;
        }
    }
    return job_.Select(*port_, address, portType);
}

int VTESDevLib::DoGetRegisteredId(wchar_t* out, int outChars) {
    if (out == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    std::string id;
    const int result = job_.GetRegisteredId(*port_, &id);
    if (result == VTESDEV_OK && !id.empty()) {
        CopyToBuffer(out, outChars, std::wstring_view(AnsiToWide(id)));
    }
    return result;
}

int VTESDevLib::DoCreateId(const CreateIdRequest* request, wchar_t* out, int outChars) {
    if (request == nullptr || out == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    std::string id;
    const int result = job_.CreateId(*port_, *request, &id);
    if (result == VTESDEV_OK) {
        CopyToBuffer(out, outChars, std::wstring_view(AnsiToWide(id)));
    }
    return result;
}

int VTESDevLib::DoEndSession() {
    return job_.End(*port_);
}

int VTESDevLib::DoSetDeviceAgreement(const wchar_t* address, int portType) {
    if (address == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    return RecordAgreement(platform_, LibraryFolder(), address, portType);
}

int VTESDevLib::DoGetConnectivityTestResult(const wchar_t* address, int portType,
                                            unsigned char* out) {
    if (address == nullptr || out == nullptr) {
        return VTESDEV_NULL_ARGUMENT;
    }
    return ReadConnectivityTest(platform_, LibraryFolder(), address, portType, out);
}

} // namespace vtqeldevc
