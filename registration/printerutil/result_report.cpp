#include "printerutil/result_report.h"

#include <future>
#include <memory>
#include <thread>

#include "kivutil/kiv_registration_data.h"
#include "kivutil/kiv_url_params.h"
#include "printerutil/client_await.h"
#include "printerutil/notice_threads.h"
#include "qelcmn/config_store.h"
#include "qelcmn/constants.h"
#include "qelcmn/text_utils.h"
#include "qelhttp/kiv_server_client.h"

namespace printerutil {
namespace {

constexpr std::chrono::milliseconds kNoticeBound{2000};

std::wstring DeviceCodeWord(int code) {
    switch (code) {
    case 0:
        return L"OK";
    case 5:
    case 11:
        return L"OFF_POWER";
    case 8:
        return L"PRN_BUSY";
    case 9:
        return L"NO_INTERNET";
    case 10:
        return L"TIME_OUT";
    default:
        return L"ERROR";
    }
}

qelcmn::UnixTimeStamp RequestTime() {
    SYSTEMTIME utc{};
    ::GetSystemTime(&utc);
    TIME_ZONE_INFORMATION zone{};
    const LONG bias = ::GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ? 0 : zone.Bias;
    return LocalStandardTime(utc, bias);
}

} // namespace

std::wstring ConnectionWord(int connectionKind) {
    if (IsUsbConnection(connectionKind)) {
        return L"USB";
    }
    return IsKnownConnection(connectionKind) ? L"LAN" : L"";
}

std::wstring StatusWord(int registerKind, const stPrinterIDs* ids,
                        unsigned char connectivityStatus) {
    if (registerKind != kRegisterServiceA && registerKind != kRegisterServiceX &&
        registerKind != kRegisterServiceY) {
        return {};
    }
    std::wstring word = ids != nullptr ? DeviceCodeWord(ids->code) : std::wstring();
    if (registerKind == kRegisterServiceY) {
        if (connectivityStatus == 203 || connectivityStatus == 205) {
            word = L"ERROR";
        } else if (connectivityStatus == 204 || connectivityStatus == 206) {
            word = L"NO_INTERNET";
        }
    }
    return word;
}

std::wstring GetRegionDigit(const std::wstring& deviceRegionCode, const std::wstring&,
                            const std::wstring& area) {
    if (!deviceRegionCode.empty()) {
        if (deviceRegionCode == qelcmn::RegionCode1) {
            return L"0";
        }
        return deviceRegionCode == qelcmn::RegionCode3 ? L"2" : L"1";
    }
    if (area == qelcmn::AreaJP) {
        return L"0";
    }
    return area == qelcmn::CountryUS ? L"2" : L"1";
}

qelcmn::UnixTimeStamp LocalStandardTime(const SYSTEMTIME& utc, LONG biasMinutes) {
    qelcmn::CalendarTime fields;
    fields.year = utc.wYear - 1900;
    fields.month = utc.wMonth - 1;
    fields.dayOfMonth = utc.wDay;
    fields.hour = utc.wHour;
    fields.minute = utc.wMinute;
    fields.second = utc.wSecond;
    fields.milliseconds = utc.wMilliseconds;
    qelcmn::UnixTimeStamp stamp;
    qelcmn::CalendarTimeToSeconds(fields, stamp);
    const std::int32_t offset = -biasMinutes * 60;
    stamp.seconds += offset;
    stamp.utcOffset = offset;
    return stamp;
}

xmlutil::KIVServerResponse
ReportRegistrationResult(int registerKind, qelinfo::IApplicationInfo* info,
                         const CancelFlag* cancel, const std::shared_ptr<stPrinterIDs>& ids,
                         const stServerParam& server, const stRegsterParam& printer) {
    const std::wstring connection = ConnectionWord(printer.connectionKind);
    const std::wstring status = StatusWord(registerKind, ids.get(), printer.connectivityStatus);

    KIVRegistrationData data;
    if (info != nullptr) {
        data.area = GetRegionDigit(info->GetRegionCode(), info->GetResidence(), info->GetArea());
        data.agent = info->GetUserAgent();
        data.deviceId = info->GetDeviceName();
        data.region = info->GetResidence();
        data.country = info->GetArea();
        data.deviceRegion = info->GetRegionCode();
    }
    data.requestTime = RequestTime();
    data.serialNumber = printer.serialNumber;
    data.configuration = connection;
    data.serverStatus = status;
    if (ids) {
        data.tempPrinterId = ids->createdId;
        data.setPrinterId = ids->registeredId;
    }

    KIVURLParams params;
    kivutil::KIVServerURLParamBuilder().Build(
        params, kivutil::kFunctionRegisterAuto,
        {info, printer.connectivityStatus, connection, status});

    qelhttp::KIVServerClient client;
    return RunClientTask(
        client,
        qelhttp::KIVServerClient::RequestAsyncBody{&client, server.gatewayAddress, params, data},
        cancel);
}

void SendInvitationNotice(qelinfo::IApplicationInfo* info) noexcept {
    try {
        SendInvitationNotice(info, qelcmn::Utf8ToWide(qelcmn::GetObfuscatedString(
                                       qelcmn::kConfigGatewayBaseAddress)));
    } catch (...) {
        // The notice is a courtesy to the gateway; nothing about it reaches the user.
    }
}

void SendInvitationNotice(qelinfo::IApplicationInfo* info, const std::wstring& gateway) noexcept {
    try {
        KIVURLParams params;
        kivutil::KIVServerURLParamBuilder().Build(params, kivutil::kFunctionRegisterSkip,
                                                  {info, 200, {}, {}});
        // The exchange owns its client on a thread of its own, so that the screen waits for
        // the bound only, never for the exchange to wind down. The program keeps the thread
        // and ends only once it has (Notices()).
        struct Exchange {
            qelhttp::KIVServerClient client;
            std::promise<void> done;
        };
        auto exchange = std::make_shared<Exchange>();
        const std::shared_future<void> finished = exchange->done.get_future().share();
        Notices().Keep(
            std::thread([exchange, body =
                                       qelhttp::KIVServerClient::NotifyAsyncBody{
                                           &exchange->client, gateway, params}]() noexcept {
                try {
                    body();
                } catch (...) {
                    // As below: a failed notice changes nothing for the user.
                }
                exchange->done.set_value();
            }),
            finished, kNoticeBound, [exchange] { exchange->client.RequestCancel(); });
        const bool done = Waits().Await(kNoticeBound, [&finished](std::chrono::milliseconds bound) {
            return finished.wait_for(bound) == std::future_status::ready;
        });
        if (!done) {
            exchange->client.RequestCancel();
        }
    } catch (...) {
        // A failed or late notice changes nothing for the user.
    }
}

std::wstring MakeResultUrl(const std::wstring& base, const std::wstring& registrationAddress) {
    std::string address = qelcmn::WideToUtf8Replacing(base);
    if (!registrationAddress.empty()) {
        address += "&VTM_SEP=1&reg_url=";
        address += qelcmn::UrlEncodeToString(qelcmn::WideToUtf8Replacing(registrationAddress));
    }
    return qelcmn::Utf8ToWide(address);
}

} // namespace printerutil
