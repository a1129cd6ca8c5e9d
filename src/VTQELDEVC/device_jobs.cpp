#include "device_jobs.h"

#include "command_exchange.h"
#include "device_results.h"

#include <cstdint>
#include <span>

namespace vtqeldevc {
namespace {

// A job's reply: 0 when "OK", else the setting was not taken.
int SettingTaken(Reply reply) {
    PairList pairs;
    return ParseDeviceJobResponse(reply, &pairs) == kReplyOk ? VTESDEV_OK : VTESDEV_FAILED;
}

int SendAgreementJob(OwnPortExchange& exchange) {
    if (const int result = exchange.Run(BuildDeviceStartJob); result != VTESDEV_OK) {
        return result;
    }
    PairList started;
    if (const int read = ParseDeviceStartJobResponse(exchange.reply(), &started);
        read != kReplyOk) {
        return DetailToResult(read);
    }
    const std::string* id = FindValue(started, "ivec:jobID");
    const std::string job_id = id != nullptr ? *id : std::string();

    int set = exchange.Run([&](std::span<char> output, std::size_t* length) {
        return BuildDeviceSetConfiguration(job_id, output, length);
    });
    if (set == VTESDEV_OK) {
        set = SettingTaken(exchange.reply());
    }
    // The job is ended whatever became of the setting, so the printer is not left in it.
    int end = exchange.Run([&](std::span<char> output, std::size_t* length) {
        return BuildDeviceEndJob(job_id, output, length);
    });
    if (end == VTESDEV_OK) {
        PairList pairs;
        end = DetailToResult(ParseDeviceJobResponse(exchange.reply(), &pairs));
    }
    return set != VTESDEV_OK ? set : end;
}

} // namespace

int RecordAgreement(const Platform& platform, const std::wstring& folder, const wchar_t* address,
                    int portType) {
    OwnPortExchange exchange;
    if (!exchange.Open(platform, folder, address, portType, kDevicePortIndex)) {
        return VTESDEV_FAILED;
    }
    if (const int result = exchange.Run(BuildDeviceGetCapability); result != VTESDEV_OK) {
        return result;
    }
    if (!ParseSetConfigurationAgreement(exchange.reply())) {
        return SendAgreementJob(exchange);
    }
    const bool host_id = ParseHostApplicationId(exchange.reply());
    const int result = exchange.Run([host_id](std::span<char> output, std::size_t* length) {
        return BuildDeviceSetConfigurationWithoutStartJob(output, length, host_id);
    });
    return result != VTESDEV_OK ? result : SettingTaken(exchange.reply());
}

int ReadConnectivityTest(const Platform& platform, const std::wstring& folder,
                         const wchar_t* address, int portType, unsigned char* out) {
    OwnPortExchange exchange;
    if (!exchange.Open(platform, folder, address, portType, kQelPortIndex) ||
        exchange.Run(BuildQelGetStatus) != VTESDEV_OK) {
        return VTESDEV_FAILED;
    }
    // A refused or unreadable answer, or a state it does not know, reads as "none".
    std::uint8_t state = 0;
    ParseQelConnectivityTest(exchange.reply(), &state);
    *out = static_cast<unsigned char>(kConnectivityNone + state);
    return VTESDEV_OK;
}

} // namespace vtqeldevc
