#include "xmlutil/token_server_response.h"

namespace xmlutil {

namespace {

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
    : target_(target) {}

void TokenServerResponsePicker::StartDocument() {
    nesting_.Reset();
}

void TokenServerResponsePicker::EndDocument() {
    nesting_.CheckEnded();
}

void TokenServerResponsePicker::StartElement(const std::wstring&, const std::wstring&,
                                             const std::wstring& qualifiedName,
                                             const AttributeMap&) {
    const int id = ElementId(qualifiedName);
    if (id != kIgnored) {
        nesting_.Open(id);
    }
}

void TokenServerResponsePicker::EndElement(const std::wstring&, const std::wstring&,
                                           const std::wstring& qualifiedName) {
    const int id = ElementId(qualifiedName);
    if (id != kIgnored) {
        nesting_.Close(id);
    }
}

void TokenServerResponsePicker::Characters(const std::wstring& text) {
    if (target_ == nullptr) {
        return;
    }
    switch (nesting_.Innermost()) {
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
