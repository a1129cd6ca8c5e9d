#include "device.h"

#include "convert.h"
#include "resultcodes.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vtwidwus {

namespace {
// The packet-library result of an exchange that never reached the library.
constexpr int kNoAttempt = VTWIDUS_ERROR_CODE_FAILED;
constexpr int kBadResponse = VTWIDUS_ERROR_CODE_DECODE;
constexpr int kMaxConnectionErrors = 6;
constexpr int kConnectionErrorsBeforeWait = 5;
constexpr int kMaxTimeoutErrors = 2;
} // namespace

CDevice::CDevice(const VTWIDUS_USB_ENTRY& entry) {
    try {
        modelName_ = BoundedText(entry.modelName_, kModelChars);
    } catch (const std::bad_alloc&) {
        VTW_TRACE(4, "CDevice:bad_alloc");
        throw;
    }
    usb_.reset(Vtwidus().pfnVTWIDUS_CreateUsbInstance_(&entry));
}

void CDevice::SetUsbTimeout(int milliseconds) {
    usbTimeoutMs_ = milliseconds;
    Vtwidus().pfnVTWIDUS_SetUsbTimeout_(usb_.get(), milliseconds);
}

AOidInfo* CDevice::GetOidInfo(int infoType) {
    switch (infoType) {
    case VTWIDWUS_INFO_TYPE_STATE:
        return &state_;
    case VTWIDWUS_INFO_TYPE_WIRED:
        return &wired_;
    case VTWIDWUS_INFO_TYPE_INFRA:
        return &infra_;
    case VTWIDWUS_INFO_TYPE_DIRECT:
        return &direct_;
    case VTWIDWUS_INFO_TYPE_USER_INFO_STRING:
        return &userInfoString_;
    case VTWIDWUS_INFO_TYPE_INFRA_SUPPORT_AUTH:
        return &infraSupportAuth_;
    default:
        VTW_TRACE(3, "GetOidInfo:param");
        return nullptr;
    }
}

// ---- Exchanges ---------------------------------------------------------------------------

template <typename Attempt> int CDevice::RunWithRetry(Step step, Attempt attempt) {
    int connectionErrors = 0;
    int timeoutErrors = 0;
    int last = kNoAttempt;
    for (;;) {
        // A cancel posted before an attempt, or one that ended a wait, ends the step.
        if (cancelRequest_.load()) {
            if (step == Step::Comm) {
                VTW_TRACE(2, "Comm:Canceled");
            } else {
                VTW_TRACE(2, "Discovery:Canceled");
            }
            cancelled_ = true;
            return last;
        }
        last = attempt();
        if (last == 0) {
            return 0;
        }
        if (IsConnectionError(last)) {
            ++connectionErrors;
            if (step == Step::Comm) {
                VTW_TRACE(2, "Comm:VTWIDUS_Comm():%d connection err count:%d", last,
                          connectionErrors);
            } else {
                VTW_TRACE(2, "Discovery:VTWIDUS_DiscoveryV3():%d connection err count:%d", last,
                          connectionErrors);
            }
            if (connectionErrors >= kMaxConnectionErrors) {
                return last;
            }
            if (connectionErrors == kConnectionErrorsBeforeWait) {
                WaitWithCancelComm(kConnectionRetryWaitMs);
            }
            continue;
        }
        if (IsTimeoutError(last)) {
            ++timeoutErrors;
            if (step == Step::Comm) {
                VTW_TRACE(2, "Comm:VTWIDUS_Comm():%d timeout err count:%d", last, timeoutErrors);
            } else {
                VTW_TRACE(2, "Discovery:VTWIDUS_DiscoveryV3():%d timeout err count:%d", last,
                          timeoutErrors);
            }
            if (timeoutErrors >= kMaxTimeoutErrors) {
                return last;
            }
            WaitWithCancelComm(kTimeoutRetryWaitMs);
            continue;
        }
        return last;
    }
}

int CDevice::Comm() {
    if (oidInfo_ == nullptr) {
        VTW_TRACE(3, "Comm:member:oidInfo_");
        return kNoAttempt;
    }
    cancelled_ = false;
    const VtwidusEntries& us = Vtwidus();
    unique_packet request = MakePacket();
    unique_packet response = MakePacket();
    if (!request || !response) {
        VTW_TRACE(3, "Comm:pfnVTWIDUS_CreatePacket_()");
        return kNoAttempt;
    }
    int r = us.pfnVTWIDUS_SetCommand_(request.get(), command_);
    if (r != 0) {
        VTW_TRACE(3, "Comm:pfnVTWIDUS_SetCommand_():%d", r);
        return r;
    }
    if (command_ == kCommandGet) {
        if (!oidInfo_->SetOidOfGetRequest(request.get())) {
            VTW_TRACE(3, "Comm:SetOidOfGetRequest()");
            return kNoAttempt;
        }
    } else if (command_ == kCommandSet) {
        if (!oidInfo_->SetOidOfSetRequest(request.get())) {
            VTW_TRACE(3, "Comm:SetOidOfSetRequest()");
            return kNoAttempt;
        }
    } else {
        VTW_TRACE(3, "Comm:member:command_");
        return kNoAttempt;
    }

    r = RunWithRetry(
        Step::Comm, [&] { return us.pfnVTWIDUS_Comm_(usb_.get(), request.get(), response.get()); });
    if (cancelled_) {
        return r;
    }
    if (r != 0) {
        VTW_TRACE(3, "Comm:pfnVTWIDUS_Comm_():%d", r);
        return r;
    }
    int errorStatus = 0;
    r = us.pfnVTWIDUS_GetErrorStatus_(response.get(), &errorStatus);
    if (r != 0) {
        VTW_TRACE(3, "Comm:pfnVTWIDUS_GetErrorStatus_():%d", r);
        return r;
    }
    if (errorStatus != 0) {
        VTW_TRACE(3, "Comm:errStatus:%d", errorStatus);
        return kBadResponse;
    }
    if (command_ == kCommandGet) {
        if (!oidInfo_->GetOidOfGetRequest(response.get())) {
            VTW_TRACE(3, "Comm:GetOidOfGetRequest()");
            return kBadResponse;
        }
    } else if (!oidInfo_->GetOidOfSetRequest(response.get())) {
        VTW_TRACE(3, "Comm:GetOidOfSetRequest()");
        return kBadResponse;
    }
    return 0;
}

int CDevice::Discovery() {
    const VtwidusEntries& us = Vtwidus();
    return RunWithRetry(Step::Discovery, [&] { return us.pfnVTWIDUS_DiscoveryV3_(usb_.get()); });
}

int CDevice::DiscoveryAndCommWithRetry() {
    constexpr int kPasses = 2; // one more pass when the printer has no content yet
    int r = kNoAttempt;
    for (int pass = 0; pass < kPasses; ++pass) {
        cancelled_ = false;
        r = Discovery();
        if (cancelled_) {
            VTW_TRACE(2, "DiscoveryAndCommWithRetry:Canceled");
            return r;
        }
        if (r != 0) {
            VTW_TRACE(3, "DiscoveryAndCommWithRetry:Discovery():%d", r);
            return r;
        }
        r = Comm();
        if (cancelled_) {
            VTW_TRACE(2, "DiscoveryAndCommWithRetry:Canceled");
            return r;
        }
        if (r != VTWIDUS_ERROR_CODE_NOCONTENT || pass + 1 == kPasses) {
            return r;
        }
        VTW_TRACE(2, "DiscoveryAndCommWithRetry:Comm():%d", r);
    }
    return r;
}

bool CDevice::WaitWithCancelComm(unsigned milliseconds) {
    CInterfaceConvert& convert = Convert();
    const std::uint64_t start = convert.Clock();
    for (;;) {
        if (convert.Clock() - start >= milliseconds) {
            return true;
        }
        if (cancelRequest_.load()) {
            VTW_TRACE(2, "WaitWithCancelComm:Canceled");
            cancelled_ = true;
            return false;
        }
        convert.Sleep(kCancelCheckMs);
    }
}

int CDevice::Exchange(AOidInfo& info, std::uint8_t command) {
    oidInfo_ = &info;
    command_ = command;
    return DiscoveryAndCommWithRetry();
}

// ---- Settings ----------------------------------------------------------------------------

int CDevice::UpdateSerial() {
    const int r = Exchange(serial_, kCommandGet);
    if (r == 0 && serial_.Serial().size() > kSerialChars) {
        // The list hands out 64 characters; the device keeps the same, so that later calls
        // with a serial from the list find it.
        serial_.SetSerial(serial_.Serial().substr(0, kSerialChars));
    }
    return r;
}

int CDevice::GetInfo(int infoType) {
    AOidInfo* info = GetOidInfo(infoType);
    if (info == nullptr) {
        oidInfo_ = nullptr;
        return kNoAttempt;
    }
    return Exchange(*info, kCommandGet);
}

void CDevice::CopyInfo(int infoType, void* record) const {
    switch (infoType) {
    case VTWIDWUS_INFO_TYPE_STATE:
        state_.GetInfoTagData(record);
        break;
    case VTWIDWUS_INFO_TYPE_WIRED:
        wired_.GetInfoTagData(record);
        break;
    case VTWIDWUS_INFO_TYPE_INFRA:
        infra_.GetInfoTagData(record);
        break;
    case VTWIDWUS_INFO_TYPE_DIRECT:
        direct_.GetInfoTagData(record);
        break;
    case VTWIDWUS_INFO_TYPE_USER_INFO_STRING:
        userInfoString_.GetInfoTagData(record);
        break;
    case VTWIDWUS_INFO_TYPE_INFRA_SUPPORT_AUTH:
        infraSupportAuth_.GetInfoTagData(record);
        break;
    default:
        break;
    }
}

template <typename Info> int CDevice::SetInfoWith(Info& member, const void* record) {
    // The snapshot owns the before-values for as long as the member points at them.
    Info snapshot = member;
    snapshot.ClearOrgInstance();
    member.SetInfoTagData(record);
    member.SetOrgInstance(&snapshot);
    oidInfo_ = &member;
    command_ = kCommandSet;
    Vtwidus().pfnVTWIDUS_SetUsbTimeout_(usb_.get(), usbTimeoutMs_);
    int r = kNoAttempt;
    try {
        r = DiscoveryAndCommWithRetry();
    } catch (...) {
        // A write that ended in an exception is a failed write as well, and the snapshot that
        // the member points at is about to go.
        member = snapshot;
        throw;
    }
    if (r != 0) {
        // Nothing was written: keep what the printer holds, so a repeated SET sends it again.
        member = snapshot;
    }
    member.ClearOrgInstance();
    return r;
}

int CDevice::SetInfo(int infoType, const void* record) {
    ClearCancelRequest();
    command_ = kCommandSet;
    switch (infoType) {
    case VTWIDWUS_INFO_TYPE_STATE:
        return SetInfoWith(state_, record);
    case VTWIDWUS_INFO_TYPE_WIRED:
        return SetInfoWith(wired_, record);
    case VTWIDWUS_INFO_TYPE_INFRA:
        return SetInfoWith(infra_, record);
    case VTWIDWUS_INFO_TYPE_DIRECT:
        return SetInfoWith(direct_, record);
    case VTWIDWUS_INFO_TYPE_USER_INFO_STRING:
        return SetInfoWith(userInfoString_, record);
    case VTWIDWUS_INFO_TYPE_INFRA_SUPPORT_AUTH:
        return SetInfoWith(infraSupportAuth_, record);
    default:
        VTW_TRACE(3, "GetOidInfo:param");
        oidInfo_ = nullptr;
        return kNoAttempt;
    }
}

int CDevice::ModeWord(int infoType) const noexcept {
    switch (infoType) {
    case VTWIDWUS_INFO_TYPE_STATE:
        return state_.Dot11Mode();
    case VTWIDWUS_INFO_TYPE_INFRA:
        return infra_.Dot11Mode();
    case VTWIDWUS_INFO_TYPE_DIRECT:
        return direct_.Dot11Mode();
    default:
        return -1;
    }
}

int CDevice::SetInfoAndWaitChangeDot11Mode(int infoType, const void* record, int limitMs,
                                           bool& timedOut) {
    timedOut = false;
    AOidInfo* member = GetOidInfo(infoType);
    if (member == nullptr) {
        return kNoAttempt;
    }
    const int before = ModeWord(infoType);
    int r = SetInfo(infoType, record);
    if (cancelled_) {
        VTW_TRACE(2, "SetInfoAndWaitChangeDot11Mode:cancel");
        return r;
    }
    if (r != 0) {
        VTW_TRACE(3, "SetInfoAndWaitChangeDot11Mode:SetInfo():%lu", static_cast<unsigned long>(r));
        return r;
    }
    const int requested = ModeWord(infoType);
    // Only a mode word that was actually read counts (-1: never read, -2 and -3: no usable
    // value), for the short cut as for every poll: a printer that answers a poll without the
    // word has not shown the change yet.
    const auto shows = [requested](int word) { return word >= 0 && (word & requested) != 0; };
    if (shows(before)) {
        return 0;
    }

    CInterfaceConvert& convert = Convert();
    const std::uint64_t start = convert.Clock();
    const std::uint64_t limit = limitMs > 0 ? static_cast<std::uint64_t>(limitMs) : 0;
    int last = 0;
    while (convert.Clock() - start < limit) {
        ClearCancelRequest();
        Vtwidus().pfnVTWIDUS_SetUsbTimeout_(usb_.get(), usbTimeoutMs_);
        r = Exchange(*member, kCommandGet);
        last = r;
        if (cancelled_) {
            VTW_TRACE(2, "SetInfoAndWaitChangeDot11Mode:cancel");
            return r;
        }
        if (r == VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS) {
            VTW_TRACE(2, "SetInfoAndWaitChangeDot11Mode:VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS");
            continue;
        }
        if (r == VTWIDUS_ERROR_CODE_NOCONTENT) {
            VTW_TRACE(2, "SetInfoAndWaitChangeDot11Mode:VTWIDUS_ERROR_CODE_NOCONTENT");
            convert.Sleep(kNoContentPauseMs);
            continue;
        }
        if (r != 0) {
            VTW_TRACE(3, "SetInfoAndWaitChangeDot11Mode:UpdateInfo():%lu",
                      static_cast<unsigned long>(r));
            return r;
        }
        if (shows(ModeWord(infoType))) {
            break;
        }
        if (!WaitWithCancelComm(kModePollPauseMs)) {
            // A cancel during the pause ends the whole wait.
            VTW_TRACE(2, "SetInfoAndWaitChangeDot11Mode:cancel");
            return r;
        }
    }
    if (shows(ModeWord(infoType))) {
        return last;
    }
    VTW_TRACE(3, "SetInfoAndWaitChangeDot11Mode:ErrApsearchTimeout");
    timedOut = true;
    return kBadResponse;
}

// ---- Access-point search -----------------------------------------------------------------

int CDevice::UpdateStateInfoForApSearch() {
    const int r = Exchange(state_, kCommandGet);
    if (cancelled_) {
        VTW_TRACE(2, "UpdateStateInfoForApSearch:Canceled");
    } else if (r != 0) {
        VTW_TRACE(3,
                  "UpdateStateInfoForApSearch:VTWIDWUS_INFO_TYPE_STATE "
                  "DiscoveryAndCommWithRetry():%d",
                  r);
    }
    return r;
}

int CDevice::ExecuteApSearchForApSearch(IApSearchExecute& strategy, int& reference) {
    int r = Exchange(apSearchTimeAndCountInfo_, kCommandGet);
    if (cancelled_) {
        VTW_TRACE(2, "ExecuteApSearchForApSearch:Canceled");
        return r;
    }
    if (r != 0) {
        VTW_TRACE(3,
                  "ExecuteApSearchForApSearch:apSearchTimeAndCountInfo_ "
                  "DiscoveryAndCommWithRetry():%d",
                  r);
        return r;
    }
    reference = apSearchTimeAndCountInfo_.GetTime();
    r = Exchange(strategy.GetOidInfo(), kCommandSet);
    if (cancelled_) {
        VTW_TRACE(2, "ExecuteApSearchForApSearch:Canceled");
        return r;
    }
    if (r != 0) {
        VTW_TRACE(3,
                  "ExecuteApSearchForApSearch:apSearchExecuteWithSsidInfo_ "
                  "DiscoveryAndCommWithRetry():%d",
                  r);
    }
    return r;
}

int CDevice::UpdateApSearchTimeAndCountInfoForApSearch() {
    const int r = Exchange(apSearchTimeAndCountInfo_, kCommandGet);
    if (cancelled_) {
        VTW_TRACE(2, "UpdateApSearchTimeAndCountInfoForApSearch:Canceled");
    } else if (r != 0) {
        VTW_TRACE(3,
                  "UpdateApSearchTimeAndCountInfoForApSearch:apSearchTimeAndCountInfo_ "
                  "Comm():%d",
                  r);
    }
    return r;
}

int CDevice::ApSearch(IApSearchExecute& strategy, int limitMs, bool waitFlag, int settleMs,
                      bool& timedOut) {
    timedOut = false;
    ClearCancelRequest();
    SetUsbTimeout(usbTimeoutMs_);

    int r = UpdateStateInfoForApSearch();
    if (r != 0 || cancelled_) {
        VTW_TRACE(3, "ApSearch:UpdateStateInfo()");
        return r;
    }
    const int initial = state_.Dot11Mode();

    int reference = 0;
    const bool execute = strategy.IsExecute(*this);
    if (execute) {
        r = ExecuteApSearchForApSearch(strategy, reference);
        if (r != 0 || cancelled_) {
            VTW_TRACE(3, "ApSearch:ExecuteApSearchForApSearch():");
            return r;
        }
    }

    CInterfaceConvert& convert = Convert();
    const std::uint64_t start = convert.Clock();
    const std::uint64_t limit = limitMs > 0 ? static_cast<std::uint64_t>(limitMs) : 0;
    while (convert.Clock() - start < limit) {
        r = UpdateApSearchTimeAndCountInfoForApSearch();
        if (r == 0 && !cancelled_) {
            if (apSearchTimeAndCountInfo_.GetTime() != reference) {
                break;
            }
            // A cancel during this pause ends the search at the next poll.
            WaitWithCancelComm(kApSearchPollPauseMs);
            continue;
        }
        if (!cancelled_ && r == VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS) {
            VTW_TRACE(2, "ApSearch:UpdateApSearchTimeAndCountInfoForApSearch():"
                         "VTWIDUS_ERROR_CODE_TOO_MATCH_SESSIONS");
            continue;
        }
        if (!cancelled_ && r == VTWIDUS_ERROR_CODE_NOCONTENT) {
            VTW_TRACE(2, "ApSearch:UpdateApSearchTimeAndCountInfoForApSearch():"
                         "VTWIDUS_ERROR_CODE_NOCONTENT");
            convert.Sleep(kNoContentPauseMs);
            continue;
        }
        VTW_TRACE(3, "ApSearch:UpdateApSearchTimeAndCountInfoForApSearch()");
        return r;
    }
    if (apSearchTimeAndCountInfo_.GetTime() == reference) {
        VTW_TRACE(3, "ApSearch:ErrApsearchTimeout");
        timedOut = true;
        return kBadResponse;
    }
    if (!waitFlag) {
        return 0;
    }
    if (execute) {
        convert.Sleep(static_cast<unsigned>(std::max(settleMs, 0)));
    }
    if ((initial & 0x06) != 0) {
        return 0;
    }
    r = UpdateStateInfoForApSearch();
    if (r != 0 || cancelled_) {
        VTW_TRACE(3, "ApSearch:UpdateStateInfoForApSearch()");
        return r;
    }
    if (state_.Dot11Mode() != initial) {
        VTW_TRACE(3, "ApSearch:ErrApsearchTimeout");
        timedOut = true;
        return kBadResponse;
    }
    return 0;
}

int CDevice::UpdateApSearchResult(std::size_t& count) {
    count = 0;
    int r = UpdateApSearchTimeAndCountInfoForApSearch();
    if (r != 0 || cancelled_) {
        VTW_TRACE(3, "UpdateApSearchResult:UpdateApSearchTimeAndCountInfoForApSearch()");
        return r;
    }
    const int reported = apSearchTimeAndCountInfo_.GetCount();
    if (reported < 0) {
        VTW_TRACE(3, "UpdateApSearchResult:apSearchTimeAndCountInfo_.GetCount() < 0");
        return kNoAttempt;
    }
    if (reported > kMaxResultRows) {
        VTW_TRACE(3, "UpdateApSearchResult:apSearchTimeAndCountInfo_.GetCount() > %d",
                  kMaxResultRows);
        return kNoAttempt;
    }
    const auto rows = static_cast<std::size_t>(reported);
    apSearchResultInfoList_.ResetRows(rows);
    for (std::size_t first = 0; first < rows; first += kResultRowsPerRequest) {
        const std::size_t last = std::min(first + kResultRowsPerRequest - 1, rows - 1);
        apSearchResultInfoList_.SetWindow(first, last);
        r = Exchange(apSearchResultInfoList_, kCommandGet);
        if (cancelled_ || r != 0) {
            if (cancelled_) {
                VTW_TRACE(2, "UpdateApSearchResultForApSearch:Canceled");
            } else {
                VTW_TRACE(3, "UpdateApSearchResultForApSearch:apSearchResultInfoList_ Comm():%d",
                          r);
            }
            VTW_TRACE(3, "UpdateApSearchResult:UpdateApSearchResultForApSearch()");
            return r;
        }
    }
    count = rows;
    return 0;
}

void CDevice::CopyApSearchResults(tagUsbSnmpApSearchResultInfo* rows, std::size_t count) {
    if (count == 0 || rows == nullptr) {
        return;
    }
    apSearchResultInfoList_.SetWindow(0, count - 1);
    apSearchResultInfoList_.GetInfoTagData(rows);
}

int CDevice::GetApSearchExecuteWithParamsVersion() {
    const int r = Exchange(apSearchWithParamsVersion_, kCommandGet);
    if (cancelled_) {
        VTW_TRACE(2, "GetApSearchExecuteWithParamsVersion:Canceled");
    } else if (r != 0) {
        VTW_TRACE(3,
                  "GetApSearchExecuteWithParamsVersion:apSearchWithParamsVersion_ "
                  "DiscoveryAndCommWithRetry():%d",
                  r);
    }
    return r;
}

int CDevice::UpdateSupportApSearchWithParam(int index, int flags) {
    supportValue_ = 0;
    supportApSearchWithParamsInfo_.Select(index, flags);
    const int r = Exchange(supportApSearchWithParamsInfo_, kCommandGet);
    if (cancelled_) {
        VTW_TRACE(2, "UpdateSupportApSearchWithParam:Canceled");
    } else if (r != 0) {
        VTW_TRACE(3,
                  "UpdateSupportApSearchWithParam:supportApSearchWithParamsInfo_ "
                  "DiscoveryAndCommWithRetry():%d",
                  r);
    } else {
        supportValue_ = supportApSearchWithParamsInfo_.Value();
    }
    return r;
}

} // namespace vtwidwus
