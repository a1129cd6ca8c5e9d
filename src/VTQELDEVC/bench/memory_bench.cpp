// Memory that the process keeps from device operations through vtqeldevc.dll, made as the
// application makes them: a fresh object, Initialize (which loads the USB wrapper, the USB device
// library and the port library), GetDeviceInfo of a world printer by address, Terminate (which
// frees them again), the object deleted. Prints the growth of committed private bytes over the
// operations after a warm-up; passes or fails on nothing.
//   vtqeldevc_memory_bench.exe [operations]    (run from the program folder, beside the stand-ins)
#include "qelbench/figures.h"
#include "qelbench/memory_kept.h"
#include "qelworld/qelworld_client.h"
#include "win/module_path.h"
#include "win/unique_any.h"

#include <vtqeldevc/vtqeldevc.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWarmUp = 10;
constexpr double kTargetMb = 1;
constexpr char kWorld[] = "[printer office]\nmodel = VT-X100 Series\nserial = 5A3X01234\n"
                          "wireless-mac = 00:1B:A9:3C:00:01\nipv4 = 192.168.1.31\n"
                          "qel-service = serviceA\nagreement = unknown\n";

struct Library {
    qelwin::unique_hmodule module;
    PFN_CreateVTESDev create = nullptr;
    PFN_DeleteVTESDev destroy = nullptr;
};

// One device operation; false when a step did not succeed.
bool Operate(const Library& library) {
    VTESDevIF* device = nullptr;
    if (library.create(&device) != 1) {
        return false;
    }
    bool ok = device->Initialize() == VTESDEV_OK;
    tagDeviceInfo record{};
    ok = ok && device->GetDeviceInfo(L"192.168.1.31", VTESDEV_PORT_NETWORK_ADDRESS, &record) ==
                   VTESDEV_OK;
    device->Terminate();
    library.destroy(&device);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const int operations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const std::wstring folder = qelwin::ThisModuleFolder();
    const qelworld::Client world(folder);
    if (!world.Loaded() || !world.Load(kWorld).empty()) {
        std::fprintf(stderr, "the simulated world is not available\n");
        return 1;
    }
    Library library;
    library.module.reset(::LoadLibraryW(qelwin::JoinPath(folder, L"vtqeldevc.dll").c_str()));
    library.create = reinterpret_cast<PFN_CreateVTESDev>(
        reinterpret_cast<void*>(::GetProcAddress(library.module.get(), "CreateVTESDev")));
    library.destroy = reinterpret_cast<PFN_DeleteVTESDev>(
        reinterpret_cast<void*>(::GetProcAddress(library.module.get(), "DeleteVTESDev")));
    if (library.create == nullptr || library.destroy == nullptr) {
        std::fprintf(stderr, "vtqeldevc.dll did not load\n");
        return 1;
    }
    // The world is loaded afresh before each operation, so what it records of the exchanges
    // does not pile up in the figure.
    auto operate = [&] { return world.Load(kWorld).empty() && Operate(library); };
    return qelbench::ReportMemoryKept(kWarmUp, operations, "device operation",
                                      "device operations (Initialize, GetDeviceInfo, Terminate)",
                                      kTargetMb, operate)
               ? 0
               : 1;
}
