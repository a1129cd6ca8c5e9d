#include "qel_job.h"

#include "application_data.h"
#include "device_results.h"
#include "qel_crypto.h"
#include "replies.h"
#include "text_convert.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>

namespace vtqeldevc {
namespace {

// A text of the caller's request as the printer is to store it: it must end within its field
// (a text without its terminator was cut to the field) and survive the ANSI code page whole.
// A credential that is cut or changed on the way is never sent.
template <std::size_t N> bool RequestText(const wchar_t (&field)[N], std::string* text) {
    const wchar_t* end = std::find(field, field + N, L'\0');
    if (end == field + N) {
        return false;
    }
    const std::wstring_view wide(field, static_cast<std::size_t>(end - field));
    *text = WideToAnsi(wide);
    return AnsiToWide(*text) == wide;
}

} // namespace

QelJob::QelJob(QelCommandBuilder::JobDescriptionSource source) : builder_(std::move(source)) {}

void QelJob::Forget() noexcept {
    key_text_.clear();
    challenge_.clear();
    job_values_.clear();
}

std::string QelJob::JobId() const {
    const std::string* id = FindValue(job_values_, "ivec:jobID");
    return id != nullptr ? *id : std::string();
}

int QelJob::Select(CVTMPUCom& port, const wchar_t* address, int portType) {
    Forget();
    // A port left open by an earlier selection would refuse the new one.
    port.Close();
    if (OpenTarget(port, address, portType, kDevicePortIndex) != 0) {
        return VTESDEV_PORT_FAILED;
    }
    const int read = ReadKeyText(port);
    port.Close();
    if (read != VTESDEV_OK) {
        return read;
    }
    if (OpenTarget(port, address, portType, kQelPortIndex) != 0) {
        Forget();
        return VTESDEV_FAILED;
    }
    int result = Start(port);
    if (result == VTESDEV_OK) {
        result = Authenticate(port);
    }
    if (result != VTESDEV_OK) {
        // No job was started that an EndJob could name: the port is only closed.
        port.Close();
        Forget();
    }
    return result;
}

int QelJob::ReadKeyText(CVTMPUCom& port) {
    if (const int result = exchange_.Run(port, BuildDeviceGetStatus); result != VTESDEV_OK) {
        return result;
    }
    std::string address;
    if (const int read = ParseNetworkInterfaces(exchange_.reply(), false, &address);
        read != kReplyOk) {
        return DetailToResult(read);
    }
    key_text_ = std::move(address);
    return VTESDEV_OK;
}

int QelJob::Start(CVTMPUCom& port) {
    const int result = exchange_.Run(port, [this](std::span<char> output, std::size_t* length) {
        return builder_.BuildQelStartJob(output, length);
    });
    if (result != VTESDEV_OK) {
        return result;
    }
    // Only the refusal "NG" without a detail carries the challenge; an "OK" here is refused.
    return DetailToResult(ParseQelStartJobResponse(exchange_.reply(), &challenge_));
}

int QelJob::Authenticate(CVTMPUCom& port) {
    const int result = exchange_.Run(port, [this](std::span<char> output, std::size_t* length) {
        return builder_.BuildQelStartJobAuth(challenge_, key_text_, output, length);
    });
    if (result != VTESDEV_OK) {
        return result;
    }
    PairList values;
    if (const int read = ParseQelStartJobAuthResponse(exchange_.reply(), &values);
        read != kReplyOk) {
        return DetailToResult(read);
    }
    job_values_ = std::move(values);
    return VTESDEV_OK;
}

int QelJob::ExchangeDocument(CVTMPUCom& port, const char* format, const std::string& document,
                             std::string* reply_document) {
    const std::string* key7 = FindValue(job_values_, "vvt:ijdatakey7");
    crypto::Bytes payload;
    std::string digest;
    if (key7 == nullptr || crypto::EncryptRequestPayload(document, key_text_, *key7, &payload,
                                                         &digest) != crypto::kOk) {
        return VTESDEV_FAILED;
    }
    const std::string job_id = JobId();
    const std::string data_size = std::to_string(payload.size());
    const int result = exchange_.Run(
        port,
        [&](std::span<char> output, std::size_t* length) {
            return builder_.BuildQelReceiveData(job_id, format, data_size, digest, output, length);
        },
        payload);
    if (result != VTESDEV_OK) {
        return result;
    }
    PairList pairs;
    return DetailToResult(ParseQelReceiveDataResponse(exchange_.reply(), key_text_, job_values_,
                                                      &pairs, reply_document));
}

int QelJob::Fail(CVTMPUCom& port, int failure) {
    End(port);
    return failure;
}

int QelJob::ReadIdStatus(CVTMPUCom& port, const std::string& id, std::string* status) {
    std::string document;
    if (!MakeIdStatusDocument(id, &document)) {
        return VTESDEV_FAILED;
    }
    std::string reply;
    if (const int result = ExchangeDocument(port, kFormatIdStatus, document, &reply);
        result != VTESDEV_OK) {
        return result;
    }
    ExtractTagText(reply, "id_status", *status);
    return VTESDEV_OK;
}

int QelJob::GetRegisteredId(CVTMPUCom& port, std::string* id) {
    if (!open()) {
        return VTESDEV_FAILED;
    }
    std::string document;
    std::string ids;
    if (!MakeGetIdDocument(&document)) {
        return Fail(port, VTESDEV_FAILED);
    }
    if (const int result = ExchangeDocument(port, kFormatGetId, document, &ids);
        result != VTESDEV_OK) {
        return Fail(port, result);
    }
    std::string unregistered;
    std::string registered;
    ExtractTagText(ids, "unregister_id", unregistered);
    ExtractTagText(ids, "register_id", registered);
    for (const std::string* candidate : {&unregistered, &registered}) {
        if (candidate->empty()) {
            continue;
        }
        std::string status;
        if (const int result = ReadIdStatus(port, *candidate, &status); result != VTESDEV_OK) {
            return Fail(port, result);
        }
        if (status == "registered") {
            *id = *candidate;
            return VTESDEV_OK;
        }
    }
    return VTESDEV_OK;
}

int QelJob::CreateId(CVTMPUCom& port, const CreateIdRequest& request, std::string* id) {
    if (!open()) {
        return VTESDEV_FAILED;
    }
    std::string url;
    std::string refresh;
    std::string access;
    std::string service;
    std::string document;
    if (!RequestText(request.server_url, &url) || !RequestText(request.refresh_token, &refresh) ||
        !RequestText(request.access_token, &access) ||
        !RequestText(request.service_id, &service) ||
        !MakeCreateIdDocument(url, refresh, access, service, &document)) {
        return Fail(port, VTESDEV_FAILED);
    }
    std::string reply;
    if (const int result = ExchangeDocument(port, kFormatCreateId, document, &reply);
        result != VTESDEV_OK) {
        return Fail(port, result);
    }
    std::string printer_id;
    ExtractTagText(reply, "printer_id", printer_id);
    if (printer_id.empty()) {
        // The printer named no identity: nothing to hand back as one.
        return Fail(port, VTESDEV_FAILED);
    }
    *id = std::move(printer_id);
    return VTESDEV_OK;
}

int QelJob::End(CVTMPUCom& port) {
    int result = VTESDEV_FAILED;
    if (open()) {
        const std::string job_id = JobId();
        result = exchange_.Run(port, [&](std::span<char> output, std::size_t* length) {
            return builder_.BuildQelEndJob(job_id, output, length);
        });
        if (result == VTESDEV_OK) {
            PairList pairs;
            result = DetailToResult(ParseQelEndJobResponse(exchange_.reply(), &pairs));
        }
    }
    port.Close();
    Forget();
    return result;
}

} // namespace vtqeldevc
