#include <sstream>
#include <string>
#include <string_view>

#include "kivutil/kiv_registration_data.h"
#include "kivutil/registration_namespaces.h"
#include "qelcmn/constants.h"
#include "qelcmn/text_utils.h"
#include "xcrypt/crypt_suite.h"
#include "xmlutil/escape.h"

namespace kivutil {

const std::wstring ServiceRem = L"rem";
const std::wstring ServiceTava = L"tava";
const std::wstring ServiceNqo = L"nqo";

namespace {

// Writes one element around a text that is already fit for XML.
void AppendElement(std::string& document, const char* name, std::string_view markup) {
    document += '<';
    document += name;
    document += '>';
    document += markup;
    document += "</";
    document += name;
    document += '>';
}

// Writes one element whose text is the field's value, escaped for XML. A NUL has no place in
// XML and would end the form encoding of the whole document early, so it is dropped.
void Element(std::string& document, const char* name, const std::wstring& value) {
    std::string utf8 = qelcmn::WideToUtf8Replacing(value);
    std::erase(utf8, '\0');
    AppendElement(document, name, xmlutil::EscapeXmlText(utf8));
}

void ElementIfSet(std::string& document, const char* name, const std::wstring& value) {
    if (!value.empty()) {
        Element(document, name, value);
    }
}

std::string RequestTime(const qelcmn::UnixTimeStamp& stamp) {
    // All fields zero, so a time the platform cannot convert is written as zeros.
    qelcmn::CalendarTime time{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    qelcmn::SecondsToCalendarTime(stamp, time);
    std::ostringstream text;
    time.WriteIso8601(text);
    return text.str();
}

xcrypt::CryptSuite SuiteFor(const std::wstring& service) {
    if (service == ServiceRem) {
        return xcrypt::MakeREMCryptSuite();
    }
    if (service == ServiceTava) {
        return xcrypt::MakeTAVACryptSuite();
    }
    return xcrypt::MakeKIVCryptSuite();
}

void EncryptedElementIfSet(std::string& document, const char* name, const std::wstring& id,
                           xcrypt::CryptSuite& suite) {
    if (id.empty()) {
        return;
    }
    const std::string utf8 = qelcmn::WideToUtf8Replacing(id);
    // Base64 needs no escaping; a failed encryption leaves the element empty.
    AppendElement(
        document, name,
        suite.EncryptToText(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size()));
}

} // namespace

const std::wstring& ChooseRegistrationService(const KIVRegistrationData& data) {
    if (!data.deviceRegion.empty()) {
        if (data.deviceRegion == qelcmn::RegionCode4 || data.deviceRegion == qelcmn::RegionCodeC) {
            return ServiceRem;
        }
        if (data.deviceRegion == qelcmn::RegionCode3) {
            return ServiceTava;
        }
        return ServiceNqo;
    }
    if (data.region == qelcmn::RegionEurope) {
        return ServiceRem;
    }
    if (data.country == qelcmn::CountryUS) {
        return ServiceTava;
    }
    return ServiceNqo;
}

std::string BuildRegistrationDocument(const KIVRegistrationData& data) {
    const std::wstring& service = ChooseRegistrationService(data);
    const bool rem = service == ServiceRem;

    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    document += "<registration:req_0122 xmlns:registration=\"";
    document += kRegistrationNamespaceUri;
    document += "\" xmlns:cap=\"";
    document += kCapNamespaceUri;
    document += "\" xmlns:ijreg=\"";
    document += kIjregNamespaceUri;
    document += "\" xmlns:xsd=\"";
    document += kXsdNamespaceUri;
    document += "\">";

    document += "<cap:communication><cap:protocol>1.00</cap:protocol>";
    ElementIfSet(document, "cap:area", data.area);
    if (rem) {
        ElementIfSet(document, "ijreg:region", data.region);
        ElementIfSet(document, "ijreg:country", data.country);
    }
    ElementIfSet(document, "cap:agent", data.agent);
    AppendElement(document, "cap:reqtime", RequestTime(data.requestTime));
    document += "</cap:communication><registration:user>"
                "<registration:registration_type>2</registration:registration_type>"
                "<registration:product>";

    Element(document, "registration:device_id", data.deviceId);
    ElementIfSet(document, "registration:serial_number", data.serialNumber);
    ElementIfSet(document, "ijreg:configration", data.configuration);
    if (rem) {
        ElementIfSet(document, "ijreg:device_region", data.deviceRegion);
    }
    ElementIfSet(document, "ijreg:server_status", data.serverStatus);

    if (!data.tempPrinterId.empty() || !data.setPrinterId.empty()) {
        // One suite for both identities; each still gets a salt of its own.
        xcrypt::CryptSuite suite = SuiteFor(service);
        EncryptedElementIfSet(document, "ijreg:temp_printerid", data.tempPrinterId, suite);
        EncryptedElementIfSet(document, "ijreg:set_printerid", data.setPrinterId, suite);
    }

    document += "</registration:product></registration:user></registration:req_0122>";
    return document;
}

} // namespace kivutil
