// Test doubles of the wrapper's outside world: a packet library with a scripted printer, a
// clock that moves only when the wrapper sleeps, and a trace sink that keeps the lines.
#pragma once

#include "convert.h"
#include "trace.h"
#include "wrapvtwidus.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vtwidwus::test {

struct FakeVarbind {
    std::string oid;
    std::uint8_t type = VTWIDUS_TYPE_NULL;
    std::vector<std::uint8_t> value;
};

struct FakePacket {
    std::uint8_t command = 0;
    int errorStatus = 0;
    std::vector<FakeVarbind> varbinds;
    // What the library handed out, kept alive as long as the packet.
    std::vector<std::unique_ptr<VTWIDUS_VARBIND>> views;
    std::vector<std::unique_ptr<std::vector<std::uint8_t>>> bytes;
    std::vector<std::unique_ptr<VTWIDUS_OCTETS>> octets;
};

// Values of a fake printer.
FakeVarbind IntegerValue(const std::string& oid, int value);
FakeVarbind OctetsValue(const std::string& oid, std::vector<std::uint8_t> bytes);
FakeVarbind TextValue(const std::string& oid, const std::string& text);
FakeVarbind NoSuchObject(const std::string& oid);

// The packet library: installed as the wrapper's table while it lives.
class FakeVtwidus {
public:
    FakeVtwidus();
    ~FakeVtwidus();
    FakeVtwidus(const FakeVtwidus&) = delete;
    FakeVtwidus& operator=(const FakeVtwidus&) = delete;

    static FakeVtwidus& Current();
    const VtwidusEntries& Entries() const { return entries_; }

    // The printer's objects: a GET answers the known ones and noSuchObject for the others;
    // a SET stores its values (as sent) and echoes them.
    std::map<std::string, FakeVarbind> mib;
    // Results of VTWIDUS_Comm and VTWIDUS_DiscoveryV3 in order; 0 once they run out.
    std::vector<int> commResults;
    std::vector<int> discoveryResults;
    // Called before each exchange is answered (after its scripted result was taken).
    std::function<void(const FakePacket& request)> onComm;
    // Optional full control of the answer; returns the exchange's result.
    std::function<int(const FakePacket& request, FakePacket& response)> responder;
    int errorStatus = 0;

    // Printers that VTWIDUS_Search lists (by model), or a forced result and list.
    std::vector<std::string> models;
    bool forceSearch = false;
    int forcedSearchCount = 0;
    const VTWIDUS_USB_ENTRY* forcedSearchList = nullptr;
    std::vector<VTWIDUS_USB_ENTRY> searchList; // the list of the last search

    // What happened.
    std::vector<FakePacket> requests; // each request sent with VTWIDUS_Comm
    int comms = 0;
    int discoveries = 0;
    int livePackets = 0;
    int liveInstances = 0;
    std::vector<int> usbTimeouts;

    // Answers a request from the mib.
    int Answer(const FakePacket& request, FakePacket& response);

private:
    VtwidusEntries entries_{};
};

// A clock that advances only when the wrapper sleeps.
class FakeConvert final : public CConvertWin {
public:
    FakeConvert();
    ~FakeConvert() override;
    void Sleep(unsigned milliseconds) override;
    std::uint64_t Clock() override { return now; }

    std::uint64_t now = 1000;
    std::vector<unsigned> sleeps;
    std::function<void(std::uint64_t now)> onSleep;
    // Total sleeping time.
    std::uint64_t Slept() const;
};

// Keeps every trace line (formatted) while it lives.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    struct Line {
        int level;
        std::string text;
    };
    static std::vector<Line>& Lines();
    bool Contains(const std::string& text) const;
    bool Contains(int level, const std::string& text) const;
};

} // namespace vtwidwus::test
