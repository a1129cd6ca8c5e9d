#include "xmlutil/kiv_server_response.h"

namespace xmlutil {
namespace {

// Ids of the elements the picker knows; kIgnored elements are neither kept nor checked.
constexpr int kReply = 16;
constexpr int kStatus = 32;
constexpr int kCode = 33;
constexpr int kMaintenanceUrl = 34;
constexpr int kApiSet = 48;
constexpr int kApi = 49;
constexpr int kOpenUrl = 64;
constexpr int kIgnored = 255;

int ElementId(const std::wstring& qualifiedName) {
    if (qualifiedName.find(L"res_") != std::wstring::npos) {
        return kReply;
    }
    struct Known {
        const wchar_t* name;
        int id;
    };
    static constexpr Known kKnown[] = {
        {L"cap:cap_api", kApi},        {L"cap:status", kStatus},
        {L"cap:code", kCode},          {L"cap:maintenance_url", kMaintenanceUrl},
        {L"cap:cap_api_set", kApiSet}, {L"registration:open_url", kOpenUrl},
    };
    for (const auto& known : kKnown) {
        if (qualifiedName == known.name) {
            return known.id;
        }
    }
    return kIgnored;
}

} // namespace

const std::wstring& KIVServerResponse::GetParam(const std::wstring& key) const noexcept {
    static const std::wstring kNone;
    const auto found = parameters.find(key);
    return found != parameters.end() ? found->second : kNone;
}

void KIVServerResponse::Clear() noexcept {
    name.clear();
    result.clear();
    url.clear();
    parameters.clear();
}

KIVServerResponsePicker::KIVServerResponsePicker(KIVServerResponse* target) : target_(target) {}

void KIVServerResponsePicker::StartDocument() {
    nesting_.Reset();
    pendingKey_.clear();
}

void KIVServerResponsePicker::EndDocument() {
    nesting_.CheckEnded();
}

void KIVServerResponsePicker::StartElement(const std::wstring&, const std::wstring&,
                                           const std::wstring& qualifiedName,
                                           const AttributeMap& attributes) {
    const int id = ElementId(qualifiedName);
    if (id == kIgnored) {
        return;
    }
    nesting_.Open(id);
    if (id == kReply && target_ != nullptr) {
        target_->name = qualifiedName;
    } else if (id == kApi) {
        const auto key = attributes.find(L"key");
        pendingKey_ = key != attributes.end() ? key->second : std::wstring();
    }
}

void KIVServerResponsePicker::EndElement(const std::wstring&, const std::wstring&,
                                         const std::wstring& qualifiedName) {
    const int id = ElementId(qualifiedName);
    if (id != kIgnored) {
        nesting_.Close(id);
    }
}

void KIVServerResponsePicker::Characters(const std::wstring& text) {
    Text(text);
}

void KIVServerResponsePicker::CData(const std::wstring& text) {
    Text(text);
}

void KIVServerResponsePicker::Text(const std::wstring& text) {
    if (target_ == nullptr) {
        return;
    }
    switch (nesting_.Innermost()) {
    case kCode:
        target_->result = text;
        break;
    case kMaintenanceUrl:
    case kOpenUrl:
        target_->url = text;
        break;
    case kApi:
        if (!pendingKey_.empty()) {
            target_->parameters[pendingKey_] = text;
        }
        break;
    default:
        break;
    }
}

} // namespace xmlutil
