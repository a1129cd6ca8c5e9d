#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kivutil/kiv_registration_data.h"
#include "kivutil/registration_namespaces.h"
#include "qelcmn/text_utils.h"
#include "xcrypt/crypt_codec.h"
#include "xcrypt/crypt_data_serializer.h"
#include "xcrypt/crypt_spec.h"
#include "xcrypt/md5.h"
#include "xmlutil/xml_sax_parser_win.h"

namespace {

using qelcmn::destructible::unique_destructible;

KIVRegistrationData Data(std::wstring deviceRegion, std::wstring region, std::wstring country) {
    KIVRegistrationData data;
    data.deviceRegion = std::move(deviceRegion);
    data.region = std::move(region);
    data.country = std::move(country);
    return data;
}

std::string Head() {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<registration:req_0122 xmlns:registration=\"") +
           kivutil::kRegistrationNamespaceUri + "\" xmlns:cap=\"" + kivutil::kCapNamespaceUri +
           "\" xmlns:ijreg=\"" + kivutil::kIjregNamespaceUri + "\" xmlns:xsd=\"" +
           kivutil::kXsdNamespaceUri + "\">";
}

// Element texts in document order, as a reader sees them.
struct Collector : xmlutil::XmlSAXEventCallBack {
    std::vector<std::pair<std::wstring, std::wstring>> elements; // qualified name, text
    std::vector<std::wstring> namespaces;
    void StartDocument() override {}
    void EndDocument() override {}
    void StartElement(const std::wstring&, const std::wstring& uri, const std::wstring& name,
                      const xmlutil::AttributeMap&) override {
        elements.emplace_back(name, L"");
        namespaces.push_back(uri);
    }
    void EndElement(const std::wstring&, const std::wstring&, const std::wstring&) override {}
    void Characters(const std::wstring& text) override { elements.back().second += text; }
    void CData(const std::wstring& text) override { elements.back().second += text; }
};

Collector Read(const std::string& document) {
    Collector collector;
    EXPECT_TRUE(xmlutil::ParseXml(document, collector));
    return collector;
}

std::vector<std::wstring> Names(const Collector& collector) {
    std::vector<std::wstring> names;
    for (const auto& element : collector.elements) {
        names.push_back(element.first);
    }
    return names;
}

std::wstring TextOf(const Collector& collector, const std::wstring& name) {
    for (const auto& element : collector.elements) {
        if (element.first == name) {
            return element.second;
        }
    }
    return L"(missing)";
}

std::string Decrypt(const std::function<xcrypt::ICryptSpec*(xcrypt::Bytes)>& createSpec,
                    const std::wstring& text) {
    const std::string narrow(text.begin(), text.end()); // Base64 is ASCII
    unique_destructible<xcrypt::ICrypt> decoder(xcrypt::CreateDecoder());
    unique_destructible<xcrypt::ICryptSpec> spec(createSpec({}));
    unique_destructible<xcrypt::ICryptProcedure> serializer(
        xcrypt::KIVCryptDataSerializer::Create());
    const auto* begin = reinterpret_cast<const unsigned char*>(narrow.data());
    const xcrypt::Bytes plain =
        serializer->Decode(decoder.get(), spec.get(), begin, begin + narrow.size());
    return std::string(plain.begin(), plain.end());
}

TEST(RegistrationDocument, ServiceChoice) {
    struct Case {
        KIVRegistrationData data;
        std::wstring service;
    };
    const Case cases[] = {
        {Data(L"C", L"asia", L"JP"), L"rem"},  {Data(L"4", L"", L"US"), L"rem"},
        {Data(L"3", L"europe", L""), L"tava"}, {Data(L"1", L"europe", L"US"), L"nqo"},
        {Data(L"", L"europe", L"US"), L"rem"}, {Data(L"", L"asia", L"US"), L"tava"},
        {Data(L"", L"Europe", L"us"), L"nqo"}, {Data(L"c", L"", L""), L"nqo"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kivutil::ChooseRegistrationService(c.data), c.service)
            << c.data.deviceRegion << "/" << c.data.region << "/" << c.data.country;
    }
}

TEST(RegistrationDocument, MinimalDocument) {
    const std::string expected =
        Head() +
        "<cap:communication><cap:protocol>1.00</cap:protocol>"
        "<cap:reqtime>1970-01-01T00:00:00Z</cap:reqtime></cap:communication>"
        "<registration:user><registration:registration_type>2</registration:registration_type>"
        "<registration:product><registration:device_id></registration:device_id>"
        "</registration:product></registration:user></registration:req_0122>";
    EXPECT_EQ(kivutil::BuildRegistrationDocument(KIVRegistrationData{}), expected);
    // The namespaces are declared, so a strict reader accepts it.
    const Collector read = Read(expected);
    EXPECT_EQ(read.namespaces.front(), qelcmn::Utf8ToWide(kivutil::kRegistrationNamespaceUri));
    EXPECT_TRUE(std::string_view(kivutil::kIjregNamespaceUri).ends_with("/ns/wdp/2016/06/ijreg"));
}

TEST(RegistrationDocument, FieldOrderAndEncryptionByService) {
    struct Case {
        const char* name;
        KIVRegistrationData data;
        std::vector<std::wstring> order;
        std::function<xcrypt::ICryptSpec*(xcrypt::Bytes)> spec;
    };
    const std::vector<std::wstring> full = {L"registration:req_0122",
                                            L"cap:communication",
                                            L"cap:protocol",
                                            L"cap:area",
                                            L"ijreg:region",
                                            L"ijreg:country",
                                            L"cap:agent",
                                            L"cap:reqtime",
                                            L"registration:user",
                                            L"registration:registration_type",
                                            L"registration:product",
                                            L"registration:device_id",
                                            L"registration:serial_number",
                                            L"ijreg:configration",
                                            L"ijreg:device_region",
                                            L"ijreg:server_status",
                                            L"ijreg:temp_printerid",
                                            L"ijreg:set_printerid"};
    std::vector<std::wstring> withoutRem = full;
    std::erase_if(withoutRem, [](const std::wstring& name) {
        return name == L"ijreg:region" || name == L"ijreg:country" ||
               name == L"ijreg:device_region";
    });
    const Case cases[] = {
        {"rem", Data(L"C", L"asia", L"JP"), full, &xcrypt::REMCryptSpec::Create},
        {"tava", Data(L"3", L"europe", L"US"), withoutRem, &xcrypt::TAVACryptSpec::Create},
        {"nqo", Data(L"1", L"europe", L"US"), withoutRem, &xcrypt::KIVCryptSpec::Create},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.name);
        c.data.area = L"3";
        c.data.agent = L"QelRegistration/1.8.0(W10.0)";
        c.data.deviceId = L"PX-1";
        c.data.serialNumber = L"SN1";
        c.data.configuration = L"LAN";
        c.data.serverStatus = L"OK";
        c.data.tempPrinterId = L"temp-\u00e9-1";
        c.data.setPrinterId = L"set-2";
        const Collector read = Read(kivutil::BuildRegistrationDocument(c.data));
        EXPECT_EQ(Names(read), c.order);
        EXPECT_EQ(Decrypt(c.spec, TextOf(read, L"ijreg:temp_printerid")), "temp-\xC3\xA9-1");
        EXPECT_EQ(Decrypt(c.spec, TextOf(read, L"ijreg:set_printerid")), "set-2");
    }
}

TEST(RegistrationDocument, IdentitiesAreEncryptedOnlyWhenPresent) {
    KIVRegistrationData data = Data(L"4", L"", L"");
    data.setPrinterId = L"only-set";
    const Collector read = Read(kivutil::BuildRegistrationDocument(data));
    EXPECT_EQ(TextOf(read, L"ijreg:temp_printerid"), L"(missing)");
    EXPECT_EQ(Decrypt(&xcrypt::REMCryptSpec::Create, TextOf(read, L"ijreg:set_printerid")),
              "only-set");
    // The same identity twice gets two salts.
    data.tempPrinterId = data.setPrinterId;
    const Collector twice = Read(kivutil::BuildRegistrationDocument(data));
    EXPECT_NE(TextOf(twice, L"ijreg:temp_printerid"), TextOf(twice, L"ijreg:set_printerid"));
}

TEST(RegistrationDocument, FailedEncryptionWritesEmptyElements) {
    struct BrokenMd5 {
        BrokenMd5() : previous(xcrypt::testhooks::ReplaceMd5(&Fail)) {}
        ~BrokenMd5() { xcrypt::testhooks::ReplaceMd5(previous); }
        static std::optional<xcrypt::Md5Digest> Fail(const unsigned char*, std::size_t) {
            return std::nullopt;
        }
        xcrypt::testhooks::Md5Function previous;
    };
    KIVRegistrationData data = Data(L"3", L"", L"");
    data.tempPrinterId = L"temp";
    data.setPrinterId = L"set";
    const BrokenMd5 broken;
    const std::string document = kivutil::BuildRegistrationDocument(data);
    EXPECT_NE(document.find("<ijreg:temp_printerid></ijreg:temp_printerid>"
                            "<ijreg:set_printerid></ijreg:set_printerid>"),
              std::string::npos);
}

TEST(RegistrationDocument, RequestTime) {
    struct Case {
        qelcmn::UnixTimeStamp stamp;
        std::string text;
    };
    const Case cases[] = {
        // 2024-03-05T07:08:09 local standard time, nine hours east of UTC.
        {{1709622489, 45, 32400}, "2024-03-05T07:08:09.045+09:00"},
        {{1709622489, 0, -12600}, "2024-03-05T07:08:09-03:30"},
        // A time the platform cannot convert leaves every field zero.
        {{-20000000000LL, 0, 0}, "1900-01-00T00:00:00Z"},
    };
    for (const auto& c : cases) {
        KIVRegistrationData data;
        data.requestTime = c.stamp;
        const std::string document = kivutil::BuildRegistrationDocument(data);
        EXPECT_NE(document.find("<cap:reqtime>" + c.text + "</cap:reqtime>"), std::string::npos)
            << c.text;
    }
}

TEST(RegistrationDocument, ValuesAreEscaped) {
    KIVRegistrationData data = Data(L"C", L"a<b", L"\"US\"");
    data.agent = L"Agent 1 <x> & \"y\"";
    data.deviceId = L"id&<>";
    data.serialNumber = std::wstring(L"SN\0X", 4);
    data.serverStatus = std::wstring(L"E") + wchar_t(0xD800);
    const std::string document = kivutil::BuildRegistrationDocument(data);
    EXPECT_NE(document.find("<cap:agent>Agent 1 &lt;x&gt; &amp; \"y\"</cap:agent>"),
              std::string::npos);
    EXPECT_NE(document.find("<ijreg:region>a&lt;b</ijreg:region>"), std::string::npos);
    EXPECT_NE(document.find("<registration:serial_number>SNX</registration:serial_number>"),
              std::string::npos);
    const Collector read = Read(document);
    EXPECT_EQ(TextOf(read, L"cap:agent"), L"Agent 1 <x> & \"y\"");
    EXPECT_EQ(TextOf(read, L"registration:device_id"), L"id&<>");
    EXPECT_EQ(TextOf(read, L"ijreg:country"), L"\"US\"");
    // An unpaired surrogate would make the whole document invalid UTF-8.
    EXPECT_EQ(TextOf(read, L"ijreg:server_status"), L"E\uFFFD");
    EXPECT_EQ(TextOf(read, L"registration:req_0122"), L"");
}

} // namespace
