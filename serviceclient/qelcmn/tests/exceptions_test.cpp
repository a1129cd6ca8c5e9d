#include "qelcmn/constants.h"
#include "qelcmn/destructible.h"
#include "qelcmn/exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Expected {
    const char* name;
    std::function<void()> raise;
    std::uint32_t code;
    const wchar_t* message;
};

// Each kind must be caught by every base the screens catch it by, with code and text intact.
TEST(Exceptions, KindsCarryCodeAndMessageThroughTheirBases) {
    const Expected cases[] = {
        {"operation canceled", [] { throw qelhttp::qel_operation_canceled(L"Http : Request Canceled."); },
         0x82030001, L"Http : Request Canceled."},
        {"http", [] { throw qelhttp::http_exception(0x80030011, L"Http : Server Error. code=500"); },
         0x80030011, L"Http : Server Error. code=500"},
        {"response format", [] { throw xmlutil::invalid_response_format(); }, 0x80040008, L""},
        {"cancel", [] { throw qelcmn::qel_cancel(0x82080104, L"USB Retry"); }, 0x82080104,
         L"USB Retry"},
    };
    for (const auto& c : cases) {
        try {
            c.raise();
            ADD_FAILURE() << c.name << " did not throw";
        } catch (const qelcmn::qel_exception& e) {
            EXPECT_EQ(e.ucode(), c.code) << c.name;
            EXPECT_EQ(e.code(), static_cast<int>(c.code)) << c.name;
            EXPECT_EQ(e.message(), c.message) << c.name;
        }
    }
}

TEST(Exceptions, OperationCanceledIsACancelAndKeepsItsCodeWhateverTheMessage) {
    try {
        throw qelhttp::qel_operation_canceled(L"anything");
    } catch (const qelcmn::qel_cancel& e) {
        EXPECT_EQ(e.ucode(), qelhttp::kCodeOperationCanceled);
    }
}

TEST(Exceptions, ResponseFormatIsAnInvalidDocument) {
    try {
        throw xmlutil::invalid_response_format();
    } catch (const xmlutil::invalid_document& e) {
        EXPECT_EQ(e.ucode(), 0x80040008u);
        EXPECT_TRUE(e.message().empty());
    }
}

TEST(Exceptions, CopyKeepsCodeAndMessage) {
    const qelcmn::qel_cancel original(0x82080103, L"Register Printer Retry.");
    const qelcmn::qel_cancel copy(original); // NOLINT(performance-unnecessary-copy-initialization)
    EXPECT_EQ(copy.ucode(), 0x82080103u);
    EXPECT_EQ(copy.message(), L"Register Printer Retry.");
}

TEST(Constants, EuropeanListHoldsTheTwentyThreeCodesInOrder) {
    const wchar_t* expected[] = {L"AT", L"BE", L"CZ", L"DK", L"FI", L"FR", L"DE", L"HU",
                                 L"IE", L"IT", L"LU", L"NL", L"NO", L"PL", L"PT", L"SK",
                                 L"ES", L"SE", L"CH", L"GB", L"EE", L"LV", L"LT"};
    ASSERT_EQ(qelcmn::EuropeanCountryCodes.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(qelcmn::EuropeanCountryCodes[i], expected[i]) << i;
    }
    EXPECT_TRUE(qelcmn::IsEuropeanCountryCode(L"LT"));
    EXPECT_FALSE(qelcmn::IsEuropeanCountryCode(L"US"));
    EXPECT_FALSE(qelcmn::IsEuropeanCountryCode(L"de"));
}

int g_destroyed = 0;
struct Counted : qelcmn::destructible::IDestructible {
    ~Counted() override { ++g_destroyed; }
};

TEST(Destructible, DestroyRunsTheDestructorOnceAndIgnoresNull) {
    g_destroyed = 0;
    qelcmn::destructible::Destroy(nullptr);
    qelcmn::destructible::Destroy(new Counted);
    {
        qelcmn::destructible::unique_destructible<Counted> owned(new Counted);
        qelcmn::destructible::unique_destructible<Counted> empty;
    }
    EXPECT_EQ(g_destroyed, 2);
}

} // namespace
