// The exception family of the application. Each kind carries an int code that the screens
// compare and a wide message that is never shown to the user.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace qelcmn {

class qel_exception : public std::exception {
public:
    qel_exception(const qel_exception&) = default;
    qel_exception& operator=(const qel_exception&) = default;
    ~qel_exception() override = default;

    int code() const noexcept { return code_; }
    // The code as the bit pattern the catch sites compare, such as 0x82080103.
    std::uint32_t ucode() const noexcept { return static_cast<std::uint32_t>(code_); }
    const std::wstring& message() const noexcept { return message_; }

protected:
    qel_exception(std::uint32_t code, std::wstring message)
        : code_(static_cast<int>(code)), message_(std::move(message)) {}

private:
    int code_;
    std::wstring message_;
};

class qel_cancel : public qel_exception {
public:
    qel_cancel(std::uint32_t code, std::wstring message)
        : qel_exception(code, std::move(message)) {}
};

// Outcomes of the registration sequence that the screens act on.
inline constexpr std::uint32_t kCodeCancelled = 0x82080102;
inline constexpr std::uint32_t kCodeRetry = 0x82080103;
inline constexpr std::uint32_t kCodeUsbRetry = 0x82080104;
inline constexpr std::uint32_t kCodeUsbRetryFailed = 0x82080106;

} // namespace qelcmn

namespace qelhttp {

inline constexpr std::uint32_t kCodeSessionFailed = 0;
inline constexpr std::uint32_t kCodeSendFailed = 0x80030005;
inline constexpr std::uint32_t kCodeNetworkError = 0x80030010;
inline constexpr std::uint32_t kCodeServerError = 0x80030011;
inline constexpr std::uint32_t kCodeConnectionError = 0x80030012;
inline constexpr std::uint32_t kCodeOperationCanceled = 0x82030001;

class http_exception : public qelcmn::qel_exception {
public:
    http_exception(std::uint32_t code, std::wstring message)
        : qel_exception(code, std::move(message)) {}
};

class qel_operation_canceled : public qelcmn::qel_cancel {
public:
    explicit qel_operation_canceled(std::wstring message)
        : qel_cancel(kCodeOperationCanceled, std::move(message)) {}
};

} // namespace qelhttp

namespace xmlutil {

inline constexpr std::uint32_t kCodeInvalidDocument = 0x80040008;

class invalid_document : public qelcmn::qel_exception {
public:
    explicit invalid_document(std::wstring message)
        : qel_exception(kCodeInvalidDocument, std::move(message)) {}
};

class invalid_response_format : public invalid_document {
public:
    explicit invalid_response_format(std::wstring message = {})
        : invalid_document(std::move(message)) {}
};

} // namespace xmlutil
