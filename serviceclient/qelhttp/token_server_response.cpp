#include "qelhttp/token_server_response.h"

#include "qelcmn/exceptions.h"

namespace xmlutil {

namespace {

constexpr int kRoot = 0;
constexpr int kResponse = 16;
constexpr int kResult = 17;
constexpr int kAccessToken = 18;
constexpr int kRefreshToken = 19;
constexpr int kUrl = 20;
constexpr int kIgnored = 255;

int ElementId(const std::wstring& name) {
    if (name == L"response") {
        return kResponse;
    }
    if (name == L"result") {
        return kResult;
    }
    if (name == L"access_token") {
        return kAccessToken;
    }
    if (name == L"refresh_token") {
        return kRefreshToken;
    }
    if (name == L"url") {
        return kUrl;
    }
    return kIgnored;
}

} // namespace

TokenServerResponsePicker::TokenServerResponsePicker(TokenServerResponse* target)
    : ids_{kRoot}, target_(target) {}

void TokenServerResponsePicker::StartDocument() {
    ids_.assign(1, kRoot);
}

void TokenServerResponsePicker::EndDocument() {
    // A reply that ends, or breaks off, inside a known element is not a complete answer.
    if (ids_.empty() || ids_.back() != kRoot) {
        throw invalid_response_format();
    }
}

void TokenServerResponsePicker::StartElement(const std::wstring&, const std::wstring&,
                                             const std::wstring& qualifiedName,
                                             const AttributeMap&) {
    const int id = ElementId(qualifiedName);
    if (id != kIgnored) {
        ids_.push_back(id);
    }
}

void TokenServerResponsePicker::EndElement(const std::wstring&, const std::wstring&,
                                           const std::wstring& qualifiedName) {
    const int id = ElementId(qualifiedName);
    if (id == kIgnored) {
        return;
    }
    if (ids_.empty() || ids_.back() != id) {
        throw invalid_response_format();
    }
    ids_.pop_back();
}

void TokenServerResponsePicker::Characters(const std::wstring& text) {
    if (ids_.empty() || target_ == nullptr) {
        return;
    }
    switch (ids_.back()) {
    case kResult:
        target_->result = text;
        break;
    case kAccessToken:
        target_->access_token = text;
        break;
    case kRefreshToken:
        target_->refresh_token = text;
        break;
    case kUrl:
        target_->url = text;
        break;
    default:
        break;
    }
}

void TokenServerResponsePicker::CData(const std::wstring& text) {
    Characters(text);
}

} // namespace xmlutil
