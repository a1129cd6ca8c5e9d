// The kinds of access-point search: which information object's SET starts the search and
// whether the start is sent at all.
#pragma once

#include "aoidinfo.h"
#include "apsearchexecuteinfo.h"
#include "apsearchexecutewithparamsinfo.h"
#include "apsearchexecutewithssidinfo.h"

#include <string>

namespace vtwidwus {

// The device as a search kind sees it.
class IApSearchExecuteDelegate {
public:
    virtual ~IApSearchExecuteDelegate() = default;
    // The dot11 mode word of the last state read.
    virtual int GetState() const = 0;
};

class IApSearchExecute {
public:
    virtual ~IApSearchExecute() = default;
    // Whether the start SET is sent.
    virtual bool IsExecute(const IApSearchExecuteDelegate& device) const = 0;
    // The information object whose SET starts the search.
    virtual AOidInfo& GetOidInfo() = 0;
};

// A printer whose mode word has bit 1 (value 2) set is searching already: no start is sent. A
// word that could not be read (negative) says nothing of a running search, so a start is sent.
inline bool ModeAllowsStart(int modeWord) noexcept {
    return modeWord < 0 || (modeWord & 0x02) == 0;
}

class CApSearchExecute final : public IApSearchExecute {
public:
    bool IsExecute(const IApSearchExecuteDelegate& device) const override {
        return ModeAllowsStart(device.GetState());
    }
    AOidInfo& GetOidInfo() override { return info_; }

private:
    CApSearchExecuteInfo info_;
};

class CApSearchExecuteWithSsid final : public IApSearchExecute {
public:
    explicit CApSearchExecuteWithSsid(std::string ssid) : info_(std::move(ssid)) {}
    bool IsExecute(const IApSearchExecuteDelegate& device) const override {
        return ModeAllowsStart(device.GetState());
    }
    AOidInfo& GetOidInfo() override { return info_; }

private:
    CApSearchExecuteWithSsidInfo info_;
};

class CApSearchExecuteWithParam final : public IApSearchExecute {
public:
    CApSearchExecuteWithParam(int channel24, int channel5, std::string ssid, std::string bssid)
        : info_(channel24, channel5, std::move(ssid), std::move(bssid)) {}
    bool IsExecute(const IApSearchExecuteDelegate&) const override { return true; }
    AOidInfo& GetOidInfo() override { return info_; }
    const CApSearchExecuteWithParamsInfo& Info() const noexcept { return info_; }

private:
    CApSearchExecuteWithParamsInfo info_;
};

} // namespace vtwidwus
