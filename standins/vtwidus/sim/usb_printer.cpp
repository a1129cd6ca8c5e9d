#include "usb_printer.h"

#include "oid.h"
#include "printer_oids.h"

#include <cstdio>

namespace vtwidussim {

namespace {

// The serial number that a printer without one reports over its command protocol.
constexpr std::string_view kNoSerialNumber = "000000000";

std::string Column(std::string_view table, int column, int row) {
    return FullOid(table) + "." + std::to_string(column) + "." + std::to_string(row);
}

MibObject ReadOnly(Value v) {
    return {std::move(v), true, SetKind::None, 0};
}
MibObject Settable(Value v, SetKind kind, std::size_t maxLength = 0) {
    return {std::move(v), true, kind, maxLength};
}
MibObject WriteOnly(Value v, SetKind kind, std::size_t maxLength = 0) {
    return {std::move(v), false, kind, maxLength};
}
MibObject Ipv4Object(const char* text) {
    return Settable({static_cast<std::uint8_t>(SnmpType::IpAddress), *ParseIpv4(text)},
                    SetKind::IpAddress);
}
MibObject Ipv6Object(const char* text) {
    return Settable({static_cast<std::uint8_t>(SnmpType::OctetString), *ParseIpv6(text)},
                    SetKind::Ipv6);
}

// One interface row (wired or infrastructure) with factory addresses.
void AddInterfaceRow(std::map<std::string, MibObject>& objects, int row, const char* address) {
    using namespace oids;
    objects[Column(kIfTable10, 3, row)] = Settable(IntegerValue(1), SetKind::Integer);
    objects[Column(kIfTable10, 4, row)] = Ipv4Object(address);
    objects[Column(kIfTable10, 5, row)] = Ipv4Object("255.255.255.0");
    objects[Column(kIfTable10, 6, row)] = Ipv4Object("192.168.1.1");
    objects[Column(kIfTable20, 2, row)] = Settable(IntegerValue(1), SetKind::Integer);
    objects[Column(kIfTable20, 3, row)] = Settable(IntegerValue(1), SetKind::Integer);
    objects[Column(kIfTable20, 4, row)] = Settable(IntegerValue(0), SetKind::Integer);
    objects[Column(kIfTable20, 5, row)] = Settable(IntegerValue(0), SetKind::Integer);
    objects[Column(kIfTable20, 27, row)] = Ipv6Object("fe80::1");
    objects[Column(kIfTable20, 28, row)] = Settable(IntegerValue(64), SetKind::Integer);
    objects[Column(kIfTable20, 29, row)] = Ipv6Object("::");
    objects[Column(kIfTable20, 30, row)] = Settable(IntegerValue(0), SetKind::Integer);
}

std::string DirectNetworkName(const PrinterIdentity& identity) {
    return "DIRECT-" + identity.serialNumber.substr(0, 6);
}

// Factory settings: infrastructure mode, not yet joined to a network.
std::map<std::string, MibObject> FactoryObjects(const PrinterIdentity& identity) {
    using namespace oids;
    std::map<std::string, MibObject> o;
    auto at = [&o](std::string_view suffix) -> MibObject& { return o[FullOid(suffix)]; };

    at(kSerialNumber) = ReadOnly(TextValue(""));
    at(kSerialNumber).fromIdentity = true;
    at(kUserInfoText1) = Settable(TextValue(""), SetKind::Text, 64);
    at(kUserInfoText2) = Settable(TextValue(""), SetKind::Text, 15);

    at(kStateWord) = ReadOnly(IntegerValue(1));
    at(kSettingWord) = Settable(OctetIntValue(1), SetKind::OctetInt);
    at(kWirelessState) = ReadOnly(IntegerValue(1));
    at(kDot11Mode) = Settable(OctetIntValue(1), SetKind::OctetInt);

    AddInterfaceRow(o, kWiredRow, "192.168.1.20");
    AddInterfaceRow(o, kInfraRow, "192.168.1.21");

    at(kInfraBands) = ReadOnly(IntegerValue(6));
    at(kInfraSsid) = Settable(TextValue(""), SetKind::Text, 32);
    at(kInfraChannel) = Settable(IntegerValue(1), SetKind::Gauge);
    at(kInfraAuthentication) = Settable(IntegerValue(0), SetKind::Integer);
    at(kInfraEncryption) = Settable(IntegerValue(0), SetKind::Integer);
    at(kInfraSupportedAuth) = ReadOnly(IntegerValue(0x0FFF));
    at(kInfraKeyIndex) = WriteOnly(IntegerValue(1), SetKind::Integer);
    at(kInfraKeyKind) = WriteOnly(IntegerValue(0), SetKind::Integer);
    for (auto key : {kInfraWepKey1, kInfraWepKey2, kInfraWepKey3, kInfraWepKey4}) {
        at(key) = WriteOnly(TextValue(""), SetKind::Text, 26);
    }
    at(kInfraPassphrase) = WriteOnly(TextValue(""), SetKind::Text, 64);

    at(kDirectSsid) = ReadOnly(TextValue(DirectNetworkName(identity)));
    at(kDirectAuthentication) = ReadOnly(IntegerValue(10));
    at(kDirectEncryption) = ReadOnly(IntegerValue(4));
    at(kDirectPassphrase) = ReadOnly(TextValue("direct-passphrase"));
    at(kDirectAltSsid) = ReadOnly(TextValue(""));
    at(kDirectAltPassphrase) = ReadOnly(TextValue(""));

    at(kApSearchStart) = Settable(IntegerValue(0), SetKind::Integer);
    at(kApSearchTime) = ReadOnly(GaugeValue(0));
    at(kApSearchCount) = ReadOnly(IntegerValue(0));
    at(kApSearchStartWithSsid) = WriteOnly(TextValue(""), SetKind::Text, 32);
    at(kApSearchWithParams) = Settable(TextValue("1.00"), SetKind::Text, 255);
    return o;
}

std::optional<std::int32_t> NumberOf(const Value& v) {
    if (v.type == static_cast<std::uint8_t>(SnmpType::Gauge32)) {
        if (auto u = DecodeUnsigned(v.bytes.data(), v.bytes.size())) {
            return static_cast<std::int32_t>(*u);
        }
        return std::nullopt;
    }
    return DecodeSigned(v.bytes.data(), v.bytes.size());
}

const Value kNoSuchObject{static_cast<std::uint8_t>(SnmpType::NoSuchObject), {}};
const Value kNoSuchInstance{static_cast<std::uint8_t>(SnmpType::NoSuchInstance), {}};

} // namespace

namespace {
std::shared_ptr<printersim::SharedPrinter> ModelFor(PrinterIdentity identity) {
    printersim::PrinterModel model;
    model.model = std::move(identity.modelName);
    model.serial = std::move(identity.serialNumber);
    return std::make_shared<printersim::SharedPrinter>(std::move(model));
}
} // namespace

UsbPrinter::UsbPrinter(PrinterIdentity identity) : UsbPrinter(ModelFor(std::move(identity))) {}

UsbPrinter::UsbPrinter(std::shared_ptr<printersim::SharedPrinter> model)
    : model_(std::move(model)), objects_(FactoryObjects(Identity())) {
    // Searches with parameters are supported in infrastructure mode and in the mode index
    // that callers fall back to.
    support_[{1, -1}] = 1;
    support_[{4, -1}] = 1;
}

PrinterIdentity UsbPrinter::Identity() const {
    return model_->with([](const printersim::PrinterModel& m) {
        return PrinterIdentity{m.model, m.serial};
    });
}

void UsbPrinter::SetSerialNumber(const std::string& serial) {
    model_->with([&](printersim::PrinterModel& m) { m.serial = serial; });
}

void UsbPrinter::NameDirectNetwork() {
    if (MibObject* o = Find(FullOid(oids::kDirectSsid))) {
        o->value = TextValue(DirectNetworkName(Identity()));
    }
}

MibObject* UsbPrinter::Find(const std::string& oid) {
    auto it = objects_.find(oid);
    return it == objects_.end() ? nullptr : &it->second;
}

Value UsbPrinter::Get(const std::string& oid) {
    if (oid == FullOid(oids::kDot11Mode)) {
        return GetModeWord();
    }
    if (oid == FullOid(oids::kApSearchTime)) {
        return GetSearchTime();
    }
    if (OidIsUnder(oid, FullOid(oids::kApSearchResultTable))) {
        return GetResultCell(oid);
    }
    if (OidIsUnder(oid, FullOid(oids::kApSearchSupportTable))) {
        return GetSupport(oid);
    }
    const MibObject* object = Find(oid);
    if (object == nullptr || !object->readable) {
        return kNoSuchObject;
    }
    if (object->fromIdentity) {
        // Its management information has no serial number to report for such a printer.
        const std::string serial = Identity().serialNumber;
        return TextValue(serial == kNoSerialNumber ? "" : serial);
    }
    return object->value;
}

int UsbPrinter::ReportedModeWord() const {
    const auto it = objects_.find(FullOid(oids::kDot11Mode));
    if (it == objects_.end()) {
        return -1;
    }
    return NumberOf(it->second.value).value_or(-1);
}

Value UsbPrinter::GetModeWord() {
    MibObject* object = Find(FullOid(oids::kDot11Mode));
    if (object == nullptr || !object->readable) {
        return kNoSuchObject;
    }
    if (modeChangePending_ && behaviour_.modeChangePolls >= 0) {
        if (modePollsLeft_ > 0) {
            --modePollsLeft_;
        } else {
            object->value = OctetIntValue(requestedMode_);
            modeChangePending_ = false;
        }
    }
    return object->value;
}

int UsbPrinter::RequestedDot11Mode() const {
    return modeChangePending_ ? requestedMode_ : ReportedModeWord();
}

Value UsbPrinter::GetSearchTime() {
    if (searchRunning_) {
        if (searchPollsLeft_ > 0) {
            --searchPollsLeft_;
        } else {
            FinishSearch();
        }
    }
    const MibObject* object = Find(FullOid(oids::kApSearchTime));
    if (object == nullptr || !object->readable) {
        return kNoSuchObject;
    }
    return object->value;
}

Value UsbPrinter::GetResultCell(const std::string& oid) const {
    const auto arcs = ArcsAfter(oid, FullOid(oids::kApSearchResultTable));
    if (!arcs || arcs->size() != 2) {
        return kNoSuchInstance;
    }
    const long long column = (*arcs)[0];
    const long long row = (*arcs)[1];
    if (row < 1 || row > static_cast<long long>(results_.size())) {
        return kNoSuchInstance;
    }
    const AccessPoint& ap = results_[static_cast<std::size_t>(row - 1)];
    switch (column) {
    case oids::kResultColumnSsid:
        return TextValue(ap.ssid);
    case oids::kResultColumnBssid:
        return {static_cast<std::uint8_t>(SnmpType::OctetString), ap.bssid};
    case oids::kResultColumnPhyType:
        return IntegerValue(ap.phyType);
    case oids::kResultColumnChannel:
        return IntegerValue(ap.channel);
    case oids::kResultColumnAuthentication:
        return IntegerValue(ap.authentication);
    case oids::kResultColumnEncryption:
        return IntegerValue(ap.encryption);
    case oids::kResultColumnSignalLevel:
        return IntegerValue(ap.signalLevel);
    default:
        return kNoSuchInstance;
    }
}

Value UsbPrinter::GetSupport(const std::string& oid) const {
    const auto arcs = ArcsAfter(oid, FullOid(oids::kApSearchSupportTable));
    if (!arcs || arcs->size() != 2 || (*arcs)[0] > INT32_MAX || (*arcs)[1] > INT32_MAX) {
        return kNoSuchInstance;
    }
    const int mode = static_cast<int>((*arcs)[0]);
    const int flags = static_cast<int>((*arcs)[1]);
    auto it = support_.find({mode, flags});
    if (it == support_.end()) {
        it = support_.find({mode, -1});
    }
    if (it == support_.end()) {
        return kNoSuchInstance;
    }
    return IntegerValue(it->second);
}

ErrorStatus UsbPrinter::CheckSet(const Varbind& vb) const {
    const auto it = objects_.find(vb.oid);
    if (it == objects_.end()) {
        return ErrorStatus::NoCreation;
    }
    const MibObject& object = it->second;
    const auto type = static_cast<SnmpType>(vb.value.type);
    const std::size_t length = vb.value.bytes.size();
    switch (object.setKind) {
    case SetKind::None:
        return ErrorStatus::NotWritable;
    case SetKind::OctetInt:
        if (type != SnmpType::OctetString) {
            return ErrorStatus::WrongType;
        }
        return length == 4 ? ErrorStatus::NoError : ErrorStatus::WrongLength;
    case SetKind::Integer:
    case SetKind::Gauge: {
        const SnmpType wanted =
            object.setKind == SetKind::Integer ? SnmpType::Integer : SnmpType::Gauge32;
        if (type != wanted) {
            return ErrorStatus::WrongType;
        }
        const auto n = NumberOf(vb.value);
        if (!n) {
            return ErrorStatus::WrongLength;
        }
        if (vb.oid == FullOid(oids::kApSearchStart) && *n != oids::kApSearchStartValue) {
            return ErrorStatus::WrongValue;
        }
        return ErrorStatus::NoError;
    }
    case SetKind::Text: {
        if (type != SnmpType::OctetString) {
            return ErrorStatus::WrongType;
        }
        if (length > object.maxLength) {
            return ErrorStatus::WrongLength;
        }
        if (vb.oid == FullOid(oids::kApSearchStartWithSsid) && length == 0) {
            return ErrorStatus::WrongLength;
        }
        if (vb.oid == FullOid(oids::kApSearchWithParams) &&
            !IsValidSearchParamText(
                std::string_view(reinterpret_cast<const char*>(vb.value.bytes.data()), length))) {
            return ErrorStatus::WrongValue;
        }
        return ErrorStatus::NoError;
    }
    case SetKind::IpAddress:
        if (type != SnmpType::IpAddress) {
            return ErrorStatus::WrongType;
        }
        return length == 4 ? ErrorStatus::NoError : ErrorStatus::WrongLength;
    case SetKind::Ipv6:
        if (type != SnmpType::OctetString) {
            return ErrorStatus::WrongType;
        }
        return length == 16 ? ErrorStatus::NoError : ErrorStatus::WrongLength;
    }
    return ErrorStatus::GenErr;
}

void UsbPrinter::CommitSet(const Varbind& vb) {
    MibObject* object = Find(vb.oid);
    if (object == nullptr) {
        return;
    }
    const std::string text(vb.value.bytes.begin(), vb.value.bytes.end());
    if (vb.oid == FullOid(oids::kApSearchStart)) {
        StartSearch({ApSearchStart::Kind::Plain, {}});
        return;
    }
    if (vb.oid == FullOid(oids::kApSearchStartWithSsid)) {
        StartSearch({ApSearchStart::Kind::WithSsid, text});
        return;
    }
    if (vb.oid == FullOid(oids::kApSearchWithParams)) {
        // The object reads back its version text; the written text only starts a search.
        StartSearch({ApSearchStart::Kind::WithParams, text});
        return;
    }
    if (vb.oid == FullOid(oids::kDot11Mode)) {
        requestedMode_ = NumberOf(vb.value).value_or(0);
        modePollsLeft_ = behaviour_.modeChangePolls;
        modeChangePending_ = behaviour_.modeChangePolls != 0;
        if (!modeChangePending_) {
            object->value = OctetIntValue(requestedMode_);
        }
        return;
    }
    if (object->setKind == SetKind::Gauge) {
        // Keep the object's own type; only the number changes.
        const auto n = NumberOf(vb.value).value_or(0);
        object->value = object->value.type == static_cast<std::uint8_t>(SnmpType::Gauge32)
                            ? GaugeValue(static_cast<std::uint32_t>(n))
                            : IntegerValue(n);
        return;
    }
    object->value = vb.value;
}

void UsbPrinter::StartSearch(ApSearchStart start) {
    ++searchStarts_;
    lastSearch_ = std::move(start);
    searchRunning_ = true;
    searchPollsLeft_ = behaviour_.apSearchPolls;
}

void UsbPrinter::FinishSearch() {
    searchRunning_ = false;
    std::uint32_t time = 0;
    if (const MibObject* t = Find(FullOid(oids::kApSearchTime))) {
        time = static_cast<std::uint32_t>(NumberOf(t->value).value_or(0));
    }
    PublishResults(time + 1);
    if (behaviour_.modeAfterSearch >= 0) {
        modeChangePending_ = false;
        if (MibObject* mode = Find(FullOid(oids::kDot11Mode))) {
            mode->value = OctetIntValue(behaviour_.modeAfterSearch);
        }
    }
}

void UsbPrinter::PublishResults(std::uint32_t timeValue) {
    results_ = environment_;
    if (MibObject* t = Find(FullOid(oids::kApSearchTime))) {
        t->value = GaugeValue(timeValue);
    }
    if (MibObject* c = Find(FullOid(oids::kApSearchCount))) {
        c->value = IntegerValue(static_cast<std::int32_t>(results_.size()));
    }
}

namespace {
// Consumes "<name-N:" and the N characters and ">" that follow.
bool TakePiece(std::string_view& text, std::string_view name, bool hexWord) {
    const std::string head = "<" + std::string(name) + "-";
    if (text.substr(0, head.size()) != head) {
        return false;
    }
    std::string_view rest = text.substr(head.size());
    std::size_t digits = 0;
    std::size_t length = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && digits < 4) {
        length = length * 10 + static_cast<std::size_t>(rest[digits] - '0');
        ++digits;
    }
    if (digits == 0 || digits >= rest.size() || rest[digits] != ':') {
        return false;
    }
    rest = rest.substr(digits + 1);
    if (rest.size() < length + 1 || rest[length] != '>') {
        return false;
    }
    const std::string_view body = rest.substr(0, length);
    if (hexWord) {
        if (length != 8) {
            return false;
        }
        for (char c : body) {
            if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
                return false;
            }
        }
    } else if (length == 0) {
        return false;
    }
    text = rest.substr(length + 1);
    return true;
}
} // namespace

bool IsValidSearchParamText(std::string_view text) {
    // No piece at all asks for a search without limits.
    TakePiece(text, "bgch", true);
    TakePiece(text, "ach", true);
    TakePiece(text, "ssid", false);
    TakePiece(text, "bssid", false);
    return text.empty();
}

} // namespace vtwidussim
