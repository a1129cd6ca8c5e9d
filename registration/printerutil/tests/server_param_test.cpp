// Where a registration sends its requests: the regional service and token service for every row
// of the rule, the program's own addresses, the two token-service texts built at run time from
// the build's tables, and addresses a test puts in place.
#include <gtest/gtest.h>

#include "printerutil/server_param.h"
#include "qelcmn/config_store.h"
#include "qelcmn/text_utils.h"

namespace {

using printerutil::ServiceAddresses;

TEST(ServerParam, RegionResidenceAndAreaChooseTheServiceAndItsTokens) {
    const ServiceAddresses test{L"http://gw/capi", L"http://pid/printers", L"http://tok/europe",
                                L"http://tok/default"};
    struct Row {
        const wchar_t* region;
        const wchar_t* residence;
        const wchar_t* area;
        const wchar_t* service;
        const wchar_t* tokens;
    };
    const Row rows[] = {
        {L"4", L"asia", L"JP", L"rem", L"http://tok/europe"},
        {L"C", L"", L"US", L"rem", L"http://tok/europe"},
        {L"", L"europe", L"US", L"rem", L"http://tok/europe"},
        {L"3", L"europe", L"DE", L"tava", L""},
        {L"", L"americas", L"US", L"tava", L""},
        {L"", L"", L"US", L"nqo", L"http://tok/default"},
        {L"", L"asia", L"JP", L"nqo", L"http://tok/default"},
        {L"1", L"europe", L"US", L"nqo", L"http://tok/default"},
        {L"7", L"americas", L"US", L"nqo", L"http://tok/default"},
        {L"c", L"asia", L"JP", L"nqo", L"http://tok/default"}, // region codes compare exactly
    };
    const printerutil::ScopedServiceAddresses scope(test);
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "region '" << row.region << "' residence '"
                                          << row.residence << "' area '" << row.area << "'");
        const auto server = printerutil::BuildServerParam(row.region, row.residence, row.area);
        ASSERT_TRUE(server);
        EXPECT_EQ(server->serviceCode, row.service);
        EXPECT_EQ(server->tokenAddress, row.tokens);
        EXPECT_EQ(server->gatewayAddress, test.gateway);
        EXPECT_EQ(server->printerIdAddress, test.printerId);
        EXPECT_EQ(server->serviceId, L"001");
    }
}

TEST(ServerParam, TheProgramsOwnAddressesHaveOneSourceEach) {
    // The built token-service texts are the configuration's token-service entries.
    EXPECT_EQ(printerutil::BuildEuropeTokenServiceText(),
              qelcmn::GetObfuscatedString(qelcmn::kConfigTokenServiceAddressB));
    EXPECT_EQ(printerutil::BuildDefaultTokenServiceText(),
              qelcmn::GetObfuscatedString(qelcmn::kConfigTokenServiceAddressA));
    EXPECT_FALSE(printerutil::BuildEuropeTokenServiceText().empty());
    EXPECT_NE(printerutil::BuildEuropeTokenServiceText(),
              printerutil::BuildDefaultTokenServiceText());

    const ServiceAddresses own = printerutil::ConfiguredServiceAddresses();
    EXPECT_EQ(own.gateway, qelcmn::Utf8ToWide(qelcmn::GetObfuscatedString(0)));
    EXPECT_EQ(own.printerId, qelcmn::Utf8ToWide(qelcmn::GetObfuscatedString(1)));
    {
        const printerutil::ScopedServiceAddresses scope({L"g", L"p", L"e", L"d"});
        EXPECT_EQ(printerutil::BuildServerParam(L"4", L"", L"")->gatewayAddress, L"g");
    }
    const auto server = printerutil::BuildServerParam(L"4", L"", L"");
    EXPECT_EQ(server->gatewayAddress, own.gateway);
    EXPECT_EQ(server->printerIdAddress, own.printerId);
    EXPECT_EQ(server->tokenAddress, own.europeTokens);
    EXPECT_EQ(printerutil::BuildServerParam(L"1", L"", L"")->tokenAddress, own.defaultTokens);
}

} // namespace
