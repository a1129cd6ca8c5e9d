#include "requests.h"

#include "namespace_table.h"
#include "qel_crypto.h"
#include "text_convert.h"
#include "xmlutil/escape.h"

#include <windows.h>

#include <rpc.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace vtqeldevc {
namespace {

constexpr char kServiceTypePath[] = "cmd/ivec:contents/ivec:param_set servicetype";
constexpr char kDevice[] = "\"device\"";
constexpr char kQel[] = "\"qel\"";

enum class Namespaces { common, common_and_vendor };

// A request template: the variable places hold "%s".
std::string Template(std::string_view operation, Namespaces namespaces, std::string_view children) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"";
    text += NamespaceUri(kCommonNamespaceRow);
    text += '"';
    if (namespaces == Namespaces::common_and_vendor) {
        text += " xmlns:vvt=\"";
        text += NamespaceUri(kVendorNamespaceRow);
        text += '"';
    }
    text += "><ivec:contents><ivec:operation>";
    text += operation;
    text += "</ivec:operation><ivec:param_set servicetype=\"%s\">";
    text += children;
    text += "</ivec:param_set></ivec:contents></cmd>";
    return text;
}

std::string ChildPath(std::string_view element) {
    return std::string("cmd/ivec:contents/ivec:param_set servicetype=\"%s\"/") +
           std::string(element);
}

std::string Element(std::string_view name, std::string_view content) {
    return "<" + std::string(name) + ">" + std::string(content) + "</" + std::string(name) + ">";
}

std::string Placeholder(std::string_view name) {
    return Element(name, "%s");
}

std::string CdataPlaceholder(std::string_view name) {
    return Element(name, "<![CDATA[%s]]>");
}

// A variable element's pair; the value is escaped for element content.
NameValue Child(std::string_view element, std::string_view value) {
    return {ChildPath(element), xmlutil::EscapeXmlText(value)};
}

NameValue CdataChild(std::string_view element, std::string_view value) {
    return {ChildPath(element), CdataSafe(value)};
}

int Fill(const std::string& template_text, PairList pairs, std::span<char> output,
         std::size_t* length) {
    const std::size_t written = BuildCommandXml(template_text, pairs, output);
    if (written == 0) {
        return kBuildFailed;
    }
    *length = written;
    return kBuildOk;
}

bool NullArgument(std::span<char> output, const std::size_t* length) {
    return output.data() == nullptr || length == nullptr;
}

int BuildFixed(std::string_view operation, const char* service, std::string_view children,
               std::span<char> output, std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    return Fill(Template(operation, Namespaces::common, children), {{kServiceTypePath, service}},
                output, length);
}

} // namespace

int BuildDeviceGetCapability(std::span<char> output, std::size_t* length) {
    return BuildFixed("GetCapability", kDevice, "", output, length);
}

int BuildDeviceGetStatus(std::span<char> output, std::size_t* length) {
    return BuildFixed("GetStatus", kDevice, "", output, length);
}

int BuildDeviceGetConfiguration(std::span<char> output, std::size_t* length) {
    return BuildFixed("GetConfiguration", kDevice, "", output, length);
}

int BuildDeviceStartJob(std::span<char> output, std::size_t* length) {
    return BuildFixed("StartJob", kDevice,
                      Element("ivec:jobID", "00000001") + Element("ivec:bidi", "1"), output,
                      length);
}

int BuildQelGetCapability(std::span<char> output, std::size_t* length) {
    return BuildFixed("GetCapability", kQel, "", output, length);
}

int BuildQelGetStatus(std::span<char> output, std::size_t* length) {
    return BuildFixed("GetStatus", kQel, "", output, length);
}

int BuildDeviceSetConfiguration(std::string_view job_id, std::span<char> output,
                                std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    return Fill(Template("SetConfiguration", Namespaces::common_and_vendor,
                         Placeholder("ivec:jobID") + Element("vvt:webservice_agreement", "agree")),
                {{kServiceTypePath, kDevice}, Child("ivec:jobID", job_id)}, output, length);
}

int BuildDeviceEndJob(std::string_view job_id, std::span<char> output, std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    return Fill(Template("EndJob", Namespaces::common, Placeholder("ivec:jobID")),
                {{kServiceTypePath, kDevice}, Child("ivec:jobID", job_id)}, output, length);
}

int BuildDeviceSetConfigurationWithoutStartJob(std::span<char> output, std::size_t* length,
                                               bool with_host_application_id) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    std::string children = Element("vvt:ijoperation", "SetConfigurationWithoutStartJob") +
                           Element("vvt:webservice_agreement", "agree");
    if (with_host_application_id) {
        children += Element("vvt:host_application_id", "3060");
    }
    return Fill(Template("VendorCmd", Namespaces::common_and_vendor, children),
                {{kServiceTypePath, kDevice}}, output, length);
}

int AppendReceiveDataPayload(std::span<char> output, std::size_t xml_length,
                             std::span<const std::uint8_t> payload, std::size_t* total) noexcept {
    if (output.data() == nullptr || total == nullptr ||
        (payload.data() == nullptr && !payload.empty())) {
        return kBuildNullArgument;
    }
    const std::size_t capacity = std::min(output.size(), xml::kFillCapacity);
    if (xml_length > capacity || payload.size() > capacity - xml_length) {
        return kBuildFailed;
    }
    std::copy(payload.begin(), payload.end(), output.begin() + xml_length);
    *total = xml_length + payload.size();
    return kBuildOk;
}

std::optional<std::string> MakeUuidText() {
    UUID uuid{};
    const RPC_STATUS created = ::UuidCreate(&uuid);
    if (created != RPC_S_OK && created != RPC_S_UUID_LOCAL_ONLY) {
        return std::nullopt;
    }
    RPC_CSTR text = nullptr;
    if (::UuidToStringA(&uuid, &text) != RPC_S_OK || text == nullptr) {
        return std::nullopt;
    }
    // The RPC runtime's text is freed on every way out, also when the copy throws.
    const std::unique_ptr<RPC_CSTR, decltype(&::RpcStringFreeA)> owner(&text, &::RpcStringFreeA);
    return std::string(reinterpret_cast<const char*>(text));
}

QelCommandBuilder::QelCommandBuilder() : source_(&MakeUuidText) {}

QelCommandBuilder::QelCommandBuilder(JobDescriptionSource source) : source_(std::move(source)) {}

bool QelCommandBuilder::NewJobDescription() {
    auto made = source_ ? source_() : std::nullopt;
    if (!made) {
        return false;
    }
    job_description_ = std::move(*made);
    return true;
}

int QelCommandBuilder::BuildQelStartJob(std::span<char> output, std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    if (!NewJobDescription()) {
        return kBuildFailed;
    }
    return Fill(Template("StartJob", Namespaces::common_and_vendor,
                         Element("ivec:bidi", "1") + CdataPlaceholder("ivec:job_description") +
                             Element("vvt:ijdatakey3", "9e41c07b2d58a3f6e0b1947c5d2a86fe")),
                {{kServiceTypePath, kQel}, CdataChild("ivec:job_description", job_description_)},
                output, length);
}

int QelCommandBuilder::BuildQelStartJobAuth(const PairList& first_reply, std::string_view key_text,
                                            std::span<char> output, std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    PairList answer;
    if (crypto::MakeChallengeAnswerPairs(first_reply, key_text, &answer) != 0 ||
        answer.size() != 2) {
        return kBuildFailed;
    }
    return Fill(Template("StartJob", Namespaces::common_and_vendor,
                         Element("ivec:bidi", "1") + CdataPlaceholder("ivec:job_description") +
                             Placeholder("vvt:ijdatakey1") + Placeholder("vvt:ijdatakey2")),
                {{kServiceTypePath, kQel},
                 CdataChild("ivec:job_description", job_description_),
                 Child("vvt:ijdatakey1", answer[0].value),
                 Child("vvt:ijdatakey2", answer[1].value)},
                output, length);
}

int QelCommandBuilder::BuildQelReceiveData(std::string_view job_id, std::string_view format,
                                           std::string_view data_size, std::string_view digest,
                                           std::span<char> output, std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    return Fill(Template("ReceiveData", Namespaces::common_and_vendor,
                         Placeholder("ivec:jobID") + CdataPlaceholder("ivec:job_description") +
                             Placeholder("ivec:format") + Placeholder("ivec:datasize") +
                             Placeholder("vvt:ijdatakey6") + Element("ivec:continue", "OFF")),
                {{kServiceTypePath, kQel},
                 Child("ivec:jobID", job_id),
                 CdataChild("ivec:job_description", job_description_),
                 Child("ivec:format", format),
                 Child("ivec:datasize", data_size),
                 Child("vvt:ijdatakey6", digest)},
                output, length);
}

int QelCommandBuilder::BuildQelEndJob(std::string_view job_id, std::span<char> output,
                                      std::size_t* length) {
    if (NullArgument(output, length)) {
        return kBuildNullArgument;
    }
    return Fill(Template("EndJob", Namespaces::common,
                         Placeholder("ivec:jobID") + CdataPlaceholder("ivec:job_description")),
                {{kServiceTypePath, kQel},
                 Child("ivec:jobID", job_id),
                 CdataChild("ivec:job_description", job_description_)},
                output, length);
}

} // namespace vtqeldevc
