// One USB printer of an instance: its packet-library USB instance, its remembered settings and
// every exchange with it (discovery, then one GET or SET), with retries and cancellable waits.
#pragma once

#include "apsearchexecute.h"
#include "apsearchexecutewithparamsinfo.h"
#include "apsearchresultlistinfo.h"
#include "apsearchtimeandcountinfo.h"
#include "directinfo.h"
#include "infrainfo.h"
#include "infrasupportauthinfo.h"
#include "packet.h"
#include "serialinfo.h"
#include "stateinfo.h"
#include "supportapsearchwithparamsinfo.h"
#include "userinfostringinfo.h"
#include "wiredinfo.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace vtwidwus {

inline constexpr std::uint8_t kCommandGet = VTWIDUS_COMMAND_GET;
inline constexpr std::uint8_t kCommandSet = VTWIDUS_COMMAND_SET;

// Fixed waits of the exchanges, in milliseconds.
inline constexpr unsigned kConnectionRetryWaitMs = 10000;
inline constexpr unsigned kTimeoutRetryWaitMs = 4000;
inline constexpr unsigned kModePollPauseMs = 2000;
inline constexpr unsigned kApSearchPollPauseMs = 2000;
inline constexpr unsigned kNoContentPauseMs = 1000;
inline constexpr unsigned kCancelCheckMs = 100;
// Rows of the result table read with one request.
inline constexpr std::size_t kResultRowsPerRequest = 5;
// Result rows that a printer may report; a larger count is a faulty answer, not a reason to
// allocate and read without bound.
inline constexpr int kMaxResultRows = 4096;
// The serial number the device keeps and hands out.
inline constexpr std::size_t kSerialChars = 64;
inline constexpr std::size_t kModelChars = 255;

class CDevice final : public IApSearchExecuteDelegate {
public:
    // Opens the printer of a packet-library search entry.
    explicit CDevice(const VTWIDUS_USB_ENTRY& entry);
    ~CDevice() override = default;
    CDevice(const CDevice&) = delete;
    CDevice& operator=(const CDevice&) = delete;

    int GetState() const override { return state_.Dot11Mode(); }

    const std::string& ModelName() const noexcept { return modelName_; }
    const std::string& Serial() const noexcept { return serial_.Serial(); }

    // Stores the USB time-out and passes it to the packet library.
    void SetUsbTimeout(int milliseconds);
    void ClearCancelRequest() noexcept { cancelRequest_.store(false); }
    void RequestCancel() noexcept { cancelRequest_.store(true); }
    // Whether the last operation stopped because of a cancel request.
    bool Cancelled() const noexcept { return cancelled_; }

    // The information object of a type (1 to 6), or null (traced).
    AOidInfo* GetOidInfo(int infoType);

    // Reads the serial number (kept to kSerialChars characters).
    int UpdateSerial();
    // Reads one information type; then CopyInfo hands it out.
    int GetInfo(int infoType);
    void CopyInfo(int infoType, void* record) const;
    // Writes one information type: only what differs from the remembered values is sent; a
    // failed write leaves the remembered values as they were.
    int SetInfo(int infoType, const void* record);
    // Writes type 1, 3 or 4 and waits up to limitMs for the printer's dot11 mode word to take
    // the requested bits.
    int SetInfoAndWaitChangeDot11Mode(int infoType, const void* record, int limitMs,
                                      bool& timedOut);

    // Access-point search with a search kind: start, poll the search time value for up to
    // limitMs, optionally settle and check that the mode came back.
    int ApSearch(IApSearchExecute& strategy, int limitMs, bool waitFlag, int settleMs,
                 bool& timedOut);
    // Reads the result count and rows.
    int UpdateApSearchResult(std::size_t& count);
    // Copies the first count rows read by UpdateApSearchResult.
    void CopyApSearchResults(tagUsbSnmpApSearchResultInfo* rows, std::size_t count);
    // Reads the version text of the search with parameters.
    int GetApSearchExecuteWithParamsVersion();
    const std::string& ApSearchExecuteWithParamsVersion() const noexcept {
        return apSearchWithParamsVersion_.Version();
    }
    // Reads one support-table value.
    int UpdateSupportApSearchWithParam(int index, int flags);
    int SupportValue() const noexcept { return supportValue_; }

    // Primitives.
    int Comm();
    int DiscoveryAndCommWithRetry();
    // Waits, checking the cancel request every 100 ms; false when a cancel ended the wait.
    bool WaitWithCancelComm(unsigned milliseconds);

private:
    enum class Step { Discovery, Comm };
    template <typename Attempt> int RunWithRetry(Step step, Attempt attempt);
    int Exchange(AOidInfo& info, std::uint8_t command);
    int Discovery();
    template <typename Info> int SetInfoWith(Info& member, const void* record);
    int ModeWord(int infoType) const noexcept;
    int UpdateStateInfoForApSearch();
    int ExecuteApSearchForApSearch(IApSearchExecute& strategy, int& reference);
    int UpdateApSearchTimeAndCountInfoForApSearch();

    std::string modelName_;
    AOidInfo* oidInfo_ = nullptr;
    std::uint8_t command_ = kCommandGet;
    int usbTimeoutMs_ = 1000;
    unique_usb_instance usb_;
    CSerialInfo serial_;
    CStateInfo state_;
    CWiredInfo wired_;
    CInfraInfo infra_;
    CDirectInfo direct_;
    CUserInfoStringInfo userInfoString_;
    CInfraSupportAuthInfo infraSupportAuth_;
    // Written by another thread (under the instance's cancel lock), read here without a lock.
    std::atomic<bool> cancelRequest_{false};
    CApSearchTimeAndCountInfo apSearchTimeAndCountInfo_;
    CApSearchResultListInfo apSearchResultInfoList_;
    CSupportApSearchWithParamsInfo supportApSearchWithParamsInfo_;
    bool cancelled_ = false;
    int supportValue_ = 0;
    CApSearchExecuteWithParamsInfo apSearchWithParamsVersion_;
};

} // namespace vtwidwus
