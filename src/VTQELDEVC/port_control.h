// Port controls: an object that loads one of the two outside port libraries, opens a channel to
// one printer, writes one XML request and reads its reply. The command sequences are written
// once against CVTMPUCom; CVTMPU2Ctrl (vtmpu2: network address or printer name) and CVTMPUCtrl
// (vtmpu: printer name or USB port, and the list of USB ports) drive the two libraries.
#pragma once

#include "bound_library.h"
#include "platform.h"

#include <memory>
#include <string>
#include <vector>

namespace vtqeldevc {

// Results of Transact.
inline constexpr int kTransactOk = 0;
inline constexpr int kTransactCloseFailed = 1; // the channel could not be closed or reopened
inline constexpr int kTransactNullArgument = 2;
inline constexpr int kTransactTimedOut = 3; // the channel kept timing out on writes
inline constexpr int kTransactFailed = 4;

// Port indexes of SetTarget: the two command paths of the newer library.
inline constexpr int kDevicePortIndex = 0;
inline constexpr int kQelPortIndex = 1;

class CVTMPUCom {
public:
    virtual ~CVTMPUCom() = default;

    // Loads the port library from folder (full path; a null or empty folder fails): 0 loaded,
    // 1 failed. A library already loaded is unloaded first.
    virtual int LoadPortLib(const wchar_t* folder) = 0;
    // Closes an open channel, then unloads the library; idempotent.
    virtual void UnloadPortLib() noexcept = 0;
    virtual void SetTarget(const wchar_t* target, int portType, int portIndex) = 0;
    // 0 opened, non-zero failed.
    virtual int Open() = 0;
    virtual int OpenPort() = 0;
    // The USB ports on which a printer works: 0 listed, 1 failed.
    virtual int GetPortList(std::vector<std::wstring>& ports) = 0;
    // Writes request and reads its reply into reply, NUL-terminated within replyCapacity;
    // *replyLength receives the bytes before the terminator. kTransact results.
    virtual int Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                         int* replyLength) = 0;
    // 0 closed, 1 not open or the library refused.
    virtual int Close() noexcept = 0;
};

// What both port controls share: their port library, loaded by full path with its entry table,
// and the target. The control's destructor runs UnloadPortLib, so that its own Close closes an
// open channel before the library goes.
template <typename Table> class PortLibraryControl : public CVTMPUCom {
public:
    int LoadPortLib(const wchar_t* folder) final {
        UnloadPortLib();
        if (library_.Load(folder, file_) != kLibraryLoaded) {
            library_.Unload();
            return 1;
        }
        return 0;
    }
    void UnloadPortLib() noexcept final {
        // A channel outlives nothing of its library: closed while the library is still there.
        Close();
        library_.Unload();
    }
    void SetTarget(const wchar_t* target, int portType, int portIndex) final {
        target_ = target != nullptr ? target : L"";
        port_type_ = portType;
        port_index_ = portIndex;
    }

protected:
    PortLibraryControl(Platform platform, const wchar_t* file)
        : platform_(std::move(platform)), library_(platform_.Loader()), file_(file) {}

    const Table& entries() const noexcept { return library_.api(); }

    Platform platform_;
    BoundLibrary<Table> library_;
    const wchar_t* file_;
    std::wstring target_;
    int port_type_ = 0;
    int port_index_ = kQelPortIndex;
};

// The one declaration of both port controls. Library gives what differs between the two port
// libraries: the entry table (Api), the file name (kFile) and what an open channel keeps
// (Channel). Each library's source defines the five operations for its own Library.
template <typename Library>
class PortControl final : public PortLibraryControl<typename Library::Api> {
public:
    explicit PortControl(Platform platform = {})
        : PortLibraryControl<typename Library::Api>(std::move(platform), Library::kFile) {}
    ~PortControl() override { this->UnloadPortLib(); }

    int Open() override;
    int OpenPort() override;
    int GetPortList(std::vector<std::wstring>& ports) override;
    int Transact(const char* request, int requestLength, char* reply, int replyCapacity,
                 int* replyLength) override;
    int Close() noexcept override;

private:
    typename Library::Channel channel_{};
};

// Port types 2 and 3 go through the older library, every other through the newer.
bool UsesOlderPortLibrary(int portType) noexcept;

// The control for a port type: the older library for types 2 and 3, the newer for every other.
std::unique_ptr<CVTMPUCom> MakePortControl(int portType, const Platform& platform);

// Aims port at target on the command path of portIndex and opens it: by port name for a USB
// port (type 3), else by target. 0 opened, non-zero failed.
int OpenTarget(CVTMPUCom& port, const wchar_t* target, int portType, int portIndex);

// A port control of one call's own: made for portType, its library loaded from folder and the
// port opened as OpenTarget does. Null when the library or the port could not be opened. Closed
// and unloaded when it is destroyed.
std::unique_ptr<CVTMPUCom> OpenOwnPort(const Platform& platform, const std::wstring& folder,
                                       const wchar_t* target, int portType, int portIndex);

} // namespace vtqeldevc
