// The simulated world: every printer that the stand-in libraries show, behind one lock, for the
// whole life of the process. The stand-in libraries are faces of it: each entry takes the lock,
// finds its printer here and answers from the printer's model, so a change made through one face
// shows through the others.
#pragma once

#include "world_printer.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <vector>

namespace qelworld {

// What a face keeps between calls (open channels, handles, instances). The world owns it, so it
// lives as long as the world. A reset of the world keeps the handles (they reach whatever their
// target names in the new world) but forgets what belonged to the old printers; the handles are
// dropped when the face's library is unloaded.
class FaceState {
public:
    virtual ~FaceState() = default;
    // The library whose state this is ("vtmpu2").
    virtual std::string_view Library() const = 0;
    // The world was emptied: forget what belonged to its printers.
    virtual void Reset() = 0;
    // Drops every handle still open; returns how many there were.
    virtual int DropHandles() { return 0; }
};

struct LibraryCounts {
    int loads = 0;
    int unloads = 0;
    int openAtUnload = 0; // handles still open when the library was unloaded
};

struct WorldSettings {
    unsigned searchDelayMs = 0; // how long a network search takes, in real time
};

struct SearchEntry {
    std::uint32_t scope = 0;
    std::string address;
};

class World {
public:
    // The world of this process, made on first use from the startup file (QEL_WORLD_FILE, else
    // qelworld.world beside the module). It is never destroyed.
    static World& Get();

    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
    std::mutex& Mutex() { return mutex_; }

    // ---- Everything below runs under the lock. ----

    // No printers, no faults, default settings, an empty journal; every face forgets what
    // belonged to the old printers (see FaceState).
    void Reset();
    // Reads a world description. replace: the world becomes what it describes; otherwise its
    // printers join the world. Returns "" or the first error ("<source>:<line>: <what>"); on an
    // error nothing changes.
    std::string Load(std::string_view text, std::string_view source, bool replace);
    // ---- These take the lock themselves. ----
    // As Load with replace, from a file (at most 1 MiB); errors name the file.
    std::string LoadFile(const std::wstring& path);

    // ---- Under the lock again. ----
    // Applies one "key = value" line of a printer section (printer empty: of the world section).
    std::string Configure(std::string_view printer, std::string_view line);

    // A new printer with the default model (not yet on any network or USB port).
    std::shared_ptr<WorldPrinter> AddPrinter(std::string name);
    std::shared_ptr<WorldPrinter> Find(std::string_view name) const;
    const std::vector<std::shared_ptr<WorldPrinter>>& Printers() const { return printers_; }
    std::string UnusedName(std::string_view stem) const;
    std::string UnusedUsbPort() const;

    // How the faces find a printer.
    std::shared_ptr<WorldPrinter> ByAddress(std::string_view text) const; // on the network
    std::shared_ptr<WorldPrinter> ByQueue(std::string_view queue) const;  // network or USB
    std::shared_ptr<WorldPrinter> ByUsbPort(std::string_view port) const; // plugged in
    std::vector<std::string> WorkingUsbPorts() const;
    // The printers that answer a network search: IPv4 addresses (ipv6Only false) or IPv6.
    std::vector<SearchEntry> NetworkSearch(bool ipv6Only) const;
    WorldSettings& Settings() { return settings_; }

    // The fault that this call of entry meets: the printer's own first, then the world's.
    std::optional<FaceFault> Fire(WorldPrinter* printer, std::string_view entry);
    std::vector<FaceFault>& Faults() { return faults_; }

    // The bus of the packet library: printers in the order they came on it, also after they were
    // unplugged, so an index names one printer until the next reset.
    int JoinBus(const std::shared_ptr<WorldPrinter>& printer);
    WorldPrinter* BusPrinter(int index) const;
    int BusIndexOf(const WorldPrinter& printer) const;
    std::vector<int> BusPrintersPlugged() const;
    // Bumped by every reset.
    std::uint64_t Generation() const { return generation_; }

    // The printer took wireless settings through a face: it joins the network when it sees that
    // network and the key fits, takes its Wi-Fi address and answers the network search.
    bool TakeWifiSettings(WorldPrinter& printer, const std::string& ssid, const std::string& key,
                          std::string_view via);

    // One line per face call, for tests to read ("pu2Write 3 412 -> 0").
    void Note(std::string line);
    const std::deque<std::string>& Journal() const { return journal_; }
    // Also forgets the peak of answers.
    void ClearJournal() {
        journal_.clear();
        peakAnswers_ = answering_.load();
    }

    // ---- Without the lock. ----
    // A printer starts or ends an answer through a port library; the most answers in progress
    // at once since the last reset or clearing of the journal is kept.
    void AnswerStarted() noexcept;
    void AnswerEnded() noexcept { --answering_; }
    int PeakAnswers() const noexcept { return peakAnswers_; }

    // ---- These take locks of their own. ----

    // The state of one face, made on first use.
    template <typename T> T& Face() {
        std::lock_guard guard(facesMutex_);
        auto& slot = faces_[std::type_index(typeid(T))];
        if (!slot) {
            slot = std::make_unique<T>();
        }
        return static_cast<T&>(*slot);
    }
    // A face library was loaded or unloaded (its handles are dropped and counted). These do
    // not make the world: they run while the library's loader holds its lock.
    static void LibraryLoaded(std::string_view library);
    static void LibraryUnloaded(std::string_view library);
    static LibraryCounts Counts(std::string_view library);

    // What became of the startup file: "" when there was none, else "loaded <path>" or the
    // error.
    const std::string& StartupReport() const { return startupReport_; }

private:
    World() = default;
    void LoadStartupFile();
    std::vector<FaceState*> AllFaces() const;

    std::mutex mutex_;
    std::vector<std::shared_ptr<WorldPrinter>> printers_;
    std::vector<std::shared_ptr<WorldPrinter>> bus_;
    std::vector<FaceFault> faults_;
    WorldSettings settings_;
    std::deque<std::string> journal_;
    std::uint64_t generation_ = 1;
    std::atomic<int> answering_{0};
    std::atomic<int> peakAnswers_{0};
    std::string startupReport_;

    mutable std::mutex facesMutex_;
    std::unordered_map<std::type_index, std::unique_ptr<FaceState>> faces_;
};

// The world file to start from: the one that QEL_WORLD_FILE names, else qelworld.world in the
// module's folder when it is there, else none ("").
std::wstring StartupFile(const std::wstring& moduleFolder);

// Copies text into a caller's buffer of size bytes: at most size - 1 bytes and a NUL. Returns
// the whole length of the text, or -1 for a null buffer with a size or a negative size.
int CopyText(std::string_view text, char* buffer, int size) noexcept;

// Wide text (addresses, queue and port names from the port libraries' callers) in the ANSI code
// page that the printers' texts use.
std::string AnsiText(const wchar_t* text);

// The IEEE 1284 device id that the printer reports over USB.
std::string DeviceId(WorldPrinter& printer);

} // namespace qelworld
