#include "hostile/fault_catalogue.h"

namespace qelhostile {

const char* FamilyName(Family family) noexcept {
    switch (family) {
    case Family::Refusal:
        return "refusal";
    case Family::Cut:
        return "cut reply";
    case Family::Oversized:
        return "oversized reply";
    case Family::WrongNamespace:
        return "wrong namespace";
    case Family::TimeOut:
        return "time-out";
    case Family::DroppedConnection:
        return "dropped connection";
    case Family::BadKeyOrDigest:
        return "bad key or digest";
    case Family::Malformed:
        return "malformed";
    }
    return "?";
}

namespace {

using F = Family;
using T = Target;

// The printer's replies are XML; the gateway and the token server answer XML (the gateway's
// alone with namespaces), the printer-ID server JSON. The program reads the gateway's answers by
// their element names and texts, so changed namespaces and texts wrapped in elements may pass.
constexpr const char* kXmlServers = "/gateway|/token";
constexpr const char* kNamespacedServer = "/gateway";
constexpr const char* kJsonServer = "/printerid";

const std::vector<FaultKind> kCatalogue = {
    // The printer's XML replies, at every exchange.
    {"reply-refused", F::Refusal, T::PrinterReply, "refuse", "", false, Reach::Every},
    {"reply-refused-other-job", F::Refusal, T::PrinterReply, "refuse DeviceUseOtherJob", "", false,
     Reach::Spread},
    {"reply-cut-short", F::Cut, T::PrinterReply, "cut 120", "", false, Reach::Every},
    {"reply-cut-after-response", F::Cut, T::PrinterReply, "cut-after </ivec:response>", "", false,
     Reach::Spread},
    {"reply-oversized", F::Oversized, T::PrinterReply, "pad 70000", "", true, Reach::Spread},
    {"reply-padded-after-root", F::Oversized, T::PrinterReply, "pad 9000 after-root", "", true,
     Reach::Spread},
    {"reply-namespace-wrong-uri", F::WrongNamespace, T::PrinterReply, "namespaces wrong-uri", "",
     false, Reach::Every},
    {"reply-namespace-undeclared", F::WrongNamespace, T::PrinterReply, "namespaces undeclared", "",
     false, Reach::Spread},
    {"reply-namespace-other-prefix", F::WrongNamespace, T::PrinterReply, "namespaces other-prefix",
     "", true, Reach::Spread},
    {"reply-comments-with-gt", F::Malformed, T::PrinterReply, "comments-with-gt", "", true,
     Reach::Spread},
    {"reply-garbage", F::Malformed, T::PrinterReply, "raw \"<cmd xmlns=\\\"x\\\"><<&\"", "", false,
     Reach::Spread},
    {"reply-late-usb", F::TimeOut, T::PrinterReply, "delay 2600", "vtmpu", false, Reach::Every},
    // The qel job's keys, digests and payload.
    {"job-challenge-bad", F::BadKeyOrDigest, T::PrinterReply, "set vvt:ijdatakey4 XYZ!",
     "qel StartJob", false, Reach::Every},
    {"job-key-bad", F::BadKeyOrDigest, T::PrinterReply, "set vvt:ijdatakey7 00", "qel StartJob",
     false, Reach::Every},
    {"job-digest-bad", F::BadKeyOrDigest, T::PrinterReply, "set vvt:ijdatakey8 0123456789abcdef",
     "qel StartJob", false, Reach::Every},
    {"payload-corrupt", F::BadKeyOrDigest, T::PrinterReply, "corrupt-payload", "qel ReceiveData",
     false, Reach::Every},
    {"payload-size-garbage", F::Malformed, T::PrinterReply, "set ivec:datasize 12x",
     "qel ReceiveData", false, Reach::Every},
    {"answer-keyed-elsewhere", F::BadKeyOrDigest, T::PrinterSetting, "answer-address 10.0.0.99",
     "qel StartJob", false, Reach::First},

    // The printer's link: the network port library...
    {"network-open-refused", F::Refusal, T::PortEntry, "pu2Open fail", "vtmpu2", false,
     Reach::Spread},
    {"network-write-unreachable", F::DroppedConnection, T::PortEntry, "pu2Write -3", "vtmpu2",
     false, Reach::Spread},
    {"network-write-closed", F::DroppedConnection, T::PortEntry, "pu2Write -14", "vtmpu2", false,
     Reach::Spread},
    {"network-read-closed", F::DroppedConnection, T::PortEntry, "pu2Read -14", "vtmpu2", false,
     Reach::Every},
    {"network-read-lost-once", F::DroppedConnection, T::PortEntry, "pu2Read -12", "vtmpu2", true,
     Reach::Spread},
    {"network-reply-on-next-channel", F::DroppedConnection, T::PortEntry, "pu2Write -10", "vtmpu2",
     true, Reach::Spread},
    // ...and the USB one.
    {"usb-port-refused", F::Refusal, T::PortEntry, "puOpenPort fail", "vtmpu", false,
     Reach::Spread},
    {"usb-write-failed", F::DroppedConnection, T::PortEntry, "puWrite fail", "vtmpu", false,
     Reach::Spread},
    {"usb-read-closed", F::DroppedConnection, T::PortEntry, "puRead fail-close", "vtmpu", false,
     Reach::Every},
    {"usb-read-nothing", F::TimeOut, T::PortEntry, "puRead empty", "vtmpu", false, Reach::Spread},
    {"usb-stale-reply", F::Malformed, T::PortEntry, "puWrite stale", "vtmpu", false, Reach::Spread},

    // The cloud's answers, at every request.
    {"cloud-error-500", F::Refusal, T::Cloud, R"("status": 500)", "", false, Reach::Every},
    {"cloud-forbidden", F::Refusal, T::Cloud, R"("status": 403)", "", false, Reach::Spread},
    {"cloud-dropped", F::DroppedConnection, T::Cloud, R"("drop": "before_reply")", "", false,
     Reach::Every},
    {"cloud-dropped-mid-body", F::Cut, T::Cloud, R"("drop": "mid_body")", "", false, Reach::Spread},
    {"cloud-cut", F::Cut, T::Cloud, R"("cut": 40)", "", false, Reach::Every},
    {"cloud-padded", F::Oversized, T::Cloud, R"("pad_to": 300000)", "", true, Reach::Spread},
    {"cloud-huge-garbage", F::Oversized, T::Cloud,
     R"("body_repeat": {"text": "<x>", "count": 1000000})", "", false, Reach::Spread},
    {"cloud-namespace-wrong-uri", F::WrongNamespace, T::Cloud, R"("namespaces": "wrong-uri")",
     kNamespacedServer, true, Reach::Spread},
    {"cloud-namespace-undeclared", F::WrongNamespace, T::Cloud, R"("namespaces": "undeclared")",
     kNamespacedServer, true, Reach::Spread},
    {"cloud-namespace-other-prefix", F::WrongNamespace, T::Cloud, R"("namespaces": "other-prefix")",
     kNamespacedServer, true, Reach::Spread},
    {"cloud-unclosed", F::Malformed, T::Cloud, R"("malform": "unclosed")", kXmlServers, false,
     Reach::Every},
    // The printer-ID server's answer is read by its quoted pairs, so an unclosed one may pass.
    {"cloud-json-unclosed", F::Malformed, T::Cloud, R"("malform": "unclosed")", kJsonServer, true,
     Reach::Every},
    {"cloud-bad-utf8", F::Malformed, T::Cloud, R"("malform": "bad-utf8")", "", false,
     Reach::Spread},
    {"cloud-wrong-types", F::Malformed, T::Cloud, R"("malform": "wrong-types")", "", true,
     Reach::Spread},
    {"cloud-duplicated", F::Malformed, T::Cloud, R"("malform": "duplicate")", "", true,
     Reach::Spread},
    {"cloud-json-for-xml", F::Malformed, T::Cloud, R"("malform": "not-xml")", kXmlServers, false,
     Reach::Spread},
    {"cloud-xml-for-json", F::Malformed, T::Cloud, R"("malform": "not-json")", kJsonServer, false,
     Reach::Spread},
    {"cloud-token-with-markup", F::BadKeyOrDigest, T::Cloud,
     R"("fields": {"access_token": "AT-<i>&amp;\"'"})", "/token", true, Reach::Spread},
    {"cloud-empty-printer-id", F::BadKeyOrDigest, T::Cloud, R"("fields": {"printerId": ""})",
     kJsonServer, true, Reach::Spread},
    {"cloud-late", F::TimeOut, T::Cloud, R"("delay_ms": 31000)", "", false, Reach::First},
};

} // namespace

const std::vector<FaultKind>& Catalogue() {
    return kCatalogue;
}

} // namespace qelhostile
