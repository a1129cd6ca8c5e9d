#include "fake_vtwidus.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace vtwidwus::test {

namespace {

FakeVtwidus* g_current = nullptr;

FakePacket* P(VTWIDUS_PACKET p) {
    return static_cast<FakePacket*>(p);
}

std::vector<std::uint8_t> BigEndian(std::uint32_t u) {
    return {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
}

const VTWIDUS_OCTETS* Keep(FakePacket& packet, std::vector<std::uint8_t> bytes) {
    packet.bytes.push_back(std::make_unique<std::vector<std::uint8_t>>(std::move(bytes)));
    auto octets = std::make_unique<VTWIDUS_OCTETS>();
    octets->length_ = static_cast<std::uint32_t>(packet.bytes.back()->size());
    octets->value_ = packet.bytes.back()->data();
    packet.octets.push_back(std::move(octets));
    return packet.octets.back().get();
}

VTWIDUS_PACKET VTWIDUS_CALL CreatePacket(int version) {
    if (version != 3) {
        return nullptr;
    }
    ++g_current->livePackets;
    return new FakePacket();
}
int VTWIDUS_CALL DestroyPacket(VTWIDUS_PACKET p) {
    if (p != nullptr) {
        --g_current->livePackets;
        delete P(p);
    }
    return 0;
}
int VTWIDUS_CALL SetCommunityName(VTWIDUS_PACKET, const char*) {
    return 0;
}
int VTWIDUS_CALL SetMsgId(VTWIDUS_PACKET, int32_t) {
    return 0;
}
int VTWIDUS_CALL GetMsgId(VTWIDUS_PACKET, int32_t*) {
    return 0;
}
int VTWIDUS_CALL EnableReportableFlag(VTWIDUS_PACKET, int) {
    return 0;
}
int VTWIDUS_CALL SetContextName(VTWIDUS_PACKET, const char*) {
    return 0;
}
int VTWIDUS_CALL SetCommand(VTWIDUS_PACKET p, uint8_t command) {
    P(p)->command = command;
    return 0;
}
int VTWIDUS_CALL GetCommand(VTWIDUS_PACKET p, uint8_t* command) {
    *command = P(p)->command;
    return 0;
}
int VTWIDUS_CALL SetRequestId(VTWIDUS_PACKET, int32_t) {
    return 0;
}
int VTWIDUS_CALL GetRequestId(VTWIDUS_PACKET, int32_t*) {
    return 0;
}
int VTWIDUS_CALL GetErrorStatus(VTWIDUS_PACKET p, int* status) {
    *status = P(p)->errorStatus;
    return 0;
}
int VTWIDUS_CALL GetErrorIndex(VTWIDUS_PACKET, int* index) {
    *index = 0;
    return 0;
}
int VTWIDUS_CALL AddOid(VTWIDUS_PACKET p, const VTWIDUS_VARBIND* v) {
    FakeVarbind copy;
    copy.oid = v->oid_;
    copy.type = v->type_;
    if (v->octets_.value_ != nullptr) {
        copy.value.assign(v->octets_.value_, v->octets_.value_ + v->octets_.length_);
    }
    P(p)->varbinds.push_back(std::move(copy));
    return 0;
}
int VTWIDUS_CALL GetOidCount(VTWIDUS_PACKET p) {
    return static_cast<int>(P(p)->varbinds.size());
}
int VTWIDUS_CALL GetOid(VTWIDUS_PACKET p, int index, const VTWIDUS_VARBIND** out) {
    FakePacket& packet = *P(p);
    if (index < 0 || static_cast<std::size_t>(index) >= packet.varbinds.size()) {
        return VTWIDUS_ERROR_CODE_PARAM;
    }
    const FakeVarbind& v = packet.varbinds[static_cast<std::size_t>(index)];
    auto view = std::make_unique<VTWIDUS_VARBIND>();
    view->oid_ = v.oid.c_str();
    view->type_ = v.type;
    view->octets_.length_ = static_cast<std::uint32_t>(v.value.size());
    view->octets_.value_ = v.value.empty() ? nullptr : v.value.data();
    packet.views.push_back(std::move(view));
    *out = packet.views.back().get();
    return 0;
}
int VTWIDUS_CALL OctetsToInt(VTWIDUS_PACKET, const VTWIDUS_OCTETS* o, int32_t* value) {
    if (o->length_ < 1 || o->length_ > 4) {
        return VTWIDUS_ERROR_CODE_DECODE;
    }
    std::uint32_t u = (o->value_[0] & 0x80) ? 0xffffffffu : 0u;
    for (std::uint32_t i = 0; i < o->length_; ++i) {
        u = (u << 8) | o->value_[i];
    }
    *value = static_cast<int32_t>(u);
    return 0;
}
int VTWIDUS_CALL OctetsToUnsignedInt(VTWIDUS_PACKET, const VTWIDUS_OCTETS* o, uint32_t* value) {
    if (o->length_ < 1 || o->length_ > 5) {
        return VTWIDUS_ERROR_CODE_DECODE;
    }
    std::uint32_t u = 0;
    for (std::uint32_t i = 0; i < o->length_; ++i) {
        u = (u << 8) | o->value_[i];
    }
    *value = u;
    return 0;
}
int VTWIDUS_CALL IntToOctets(VTWIDUS_PACKET p, int32_t value, const VTWIDUS_OCTETS** out) {
    *out = Keep(*P(p), BigEndian(static_cast<std::uint32_t>(value)));
    return 0;
}
int VTWIDUS_CALL UnsignedIntToOctets(VTWIDUS_PACKET p, uint32_t value, const VTWIDUS_OCTETS** out) {
    *out = Keep(*P(p), BigEndian(value));
    return 0;
}
int VTWIDUS_CALL Search(const VTWIDUS_USB_ENTRY** list) {
    FakeVtwidus& f = *g_current;
    if (f.forceSearch) {
        *list = f.forcedSearchList;
        return f.forcedSearchCount;
    }
    f.searchList.clear();
    for (std::size_t i = 0; i < f.models.size(); ++i) {
        // The device reference is the 1-based position, never null.
        f.searchList.push_back({f.models[i].c_str(), reinterpret_cast<const void*>(i + 1)});
    }
    *list = f.searchList.empty() ? nullptr : f.searchList.data();
    return static_cast<int>(f.searchList.size());
}
VTWIDUS_USB_INSTANCE VTWIDUS_CALL CreateUsbInstance(const VTWIDUS_USB_ENTRY* entry) {
    ++g_current->liveInstances;
    return const_cast<void*>(entry->device_);
}
int VTWIDUS_CALL DestroyUsbInstance(VTWIDUS_USB_INSTANCE instance) {
    if (instance != nullptr) {
        --g_current->liveInstances;
    }
    return 0;
}
int VTWIDUS_CALL SetUsbTimeout(VTWIDUS_USB_INSTANCE, int timeoutMs) {
    g_current->usbTimeouts.push_back(timeoutMs);
    return 0;
}
int VTWIDUS_CALL Comm(VTWIDUS_USB_INSTANCE, VTWIDUS_PACKET request, VTWIDUS_PACKET response) {
    FakeVtwidus& f = *g_current;
    ++f.comms;
    FakePacket copy;
    copy.command = P(request)->command;
    copy.varbinds = P(request)->varbinds;
    f.requests.push_back(std::move(copy));
    int scripted = 0;
    if (!f.commResults.empty()) {
        scripted = f.commResults.front();
        f.commResults.erase(f.commResults.begin());
    }
    if (f.onComm) {
        f.onComm(*P(request));
    }
    if (scripted != 0) {
        return scripted;
    }
    if (f.responder) {
        return f.responder(*P(request), *P(response));
    }
    return f.Answer(*P(request), *P(response));
}
int VTWIDUS_CALL SetUsm(VTWIDUS_USB_INSTANCE, const char*, const char*, const char*) {
    return 0;
}
int VTWIDUS_CALL DiscoveryV3(VTWIDUS_USB_INSTANCE) {
    FakeVtwidus& f = *g_current;
    ++f.discoveries;
    if (f.discoveryResults.empty()) {
        return 0;
    }
    const int r = f.discoveryResults.front();
    f.discoveryResults.erase(f.discoveryResults.begin());
    return r;
}

} // namespace

FakeVarbind IntegerValue(const std::string& oid, int value) {
    return {oid, VTWIDUS_TYPE_INTEGER, BigEndian(static_cast<std::uint32_t>(value))};
}
FakeVarbind OctetsValue(const std::string& oid, std::vector<std::uint8_t> bytes) {
    return {oid, VTWIDUS_TYPE_OCTET_STRING, std::move(bytes)};
}
FakeVarbind TextValue(const std::string& oid, const std::string& text) {
    return {oid, VTWIDUS_TYPE_OCTET_STRING, std::vector<std::uint8_t>(text.begin(), text.end())};
}
FakeVarbind NoSuchObject(const std::string& oid) {
    return {oid, VTWIDUS_TYPE_NOSUCHOBJECT, {}};
}

FakeVtwidus::FakeVtwidus() {
    g_current = this;
    entries_.pfnVTWIDUS_CreatePacket_ = CreatePacket;
    entries_.pfnVTWIDUS_DestroyPacket_ = DestroyPacket;
    entries_.pfnVTWIDUS_SetCommunityName_ = SetCommunityName;
    entries_.pfnVTWIDUS_SetMsgId_ = SetMsgId;
    entries_.pfnVTWIDUS_GetMsgId_ = GetMsgId;
    entries_.pfnVTWIDUS_EnableReportableFlag_ = EnableReportableFlag;
    entries_.pfnVTWIDUS_SetContextName_ = SetContextName;
    entries_.pfnVTWIDUS_SetCommand_ = SetCommand;
    entries_.pfnVTWIDUS_GetCommand_ = GetCommand;
    entries_.pfnVTWIDUS_SetRequestId_ = SetRequestId;
    entries_.pfnVTWIDUS_GetRequestId_ = GetRequestId;
    entries_.pfnVTWIDUS_GetErrorStatus_ = GetErrorStatus;
    entries_.pfnVTWIDUS_GetErrorIndex_ = GetErrorIndex;
    entries_.pfnVTWIDUS_AddOid_ = AddOid;
    entries_.pfnVTWIDUS_GetOidCount_ = GetOidCount;
    entries_.pfnVTWIDUS_GetOid_ = GetOid;
    entries_.pfnVTWIDUS_OctetsToInt_ = OctetsToInt;
    entries_.pfnVTWIDUS_OctetsToUnsignedInt_ = OctetsToUnsignedInt;
    entries_.pfnVTWIDUS_IntToOctets_ = IntToOctets;
    entries_.pfnVTWIDUS_UnsignedIntToOctets_ = UnsignedIntToOctets;
    entries_.pfnVTWIDUS_Search_ = Search;
    entries_.pfnVTWIDUS_CreateUsbInstance_ = CreateUsbInstance;
    entries_.pfnVTWIDUS_DestroyUsbInstance_ = DestroyUsbInstance;
    entries_.pfnVTWIDUS_SetUsbTimeout_ = SetUsbTimeout;
    entries_.pfnVTWIDUS_Comm_ = Comm;
    entries_.pfnVTWIDUS_SetUsm_ = SetUsm;
    entries_.pfnVTWIDUS_DiscoveryV3_ = DiscoveryV3;
    SetVtwidusForTest(&entries_);
}

FakeVtwidus::~FakeVtwidus() {
    SetVtwidusForTest(nullptr);
    g_current = nullptr;
}

FakeVtwidus& FakeVtwidus::Current() {
    return *g_current;
}

int FakeVtwidus::Answer(const FakePacket& request, FakePacket& response) {
    response.command = VTWIDUS_COMMAND_RESPONSE;
    response.errorStatus = errorStatus;
    for (const FakeVarbind& v : request.varbinds) {
        if (request.command == VTWIDUS_COMMAND_SET) {
            mib[v.oid] = v;
            response.varbinds.push_back(v);
            continue;
        }
        const auto found = mib.find(v.oid);
        response.varbinds.push_back(found != mib.end() ? found->second : NoSuchObject(v.oid));
    }
    return 0;
}

FakeConvert::FakeConvert() {
    SetConvertForTest(this);
}
FakeConvert::~FakeConvert() {
    SetConvertForTest(nullptr);
}

void FakeConvert::Sleep(unsigned milliseconds) {
    sleeps.push_back(milliseconds);
    now += milliseconds;
    if (onSleep) {
        onSleep(now);
    }
}

std::uint64_t FakeConvert::Slept() const {
    std::uint64_t total = 0;
    for (const unsigned s : sleeps) {
        total += s;
    }
    return total;
}

namespace {
std::mutex g_linesLock;
void __cdecl CaptureTrace(int level, const char*, int, const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const std::lock_guard<std::mutex> guard(g_linesLock);
    TraceCapture::Lines().push_back({level, text});
}
} // namespace

TraceCapture::TraceCapture() {
    Lines().clear();
    SetTraceSinkForTest(&CaptureTrace);
}
TraceCapture::~TraceCapture() {
    ClearTraceSinkForTest();
}

std::vector<TraceCapture::Line>& TraceCapture::Lines() {
    static std::vector<Line> lines;
    return lines;
}

bool TraceCapture::Contains(const std::string& text) const {
    for (const Line& l : Lines()) {
        if (l.text == text) {
            return true;
        }
    }
    return false;
}

bool TraceCapture::Contains(int level, const std::string& text) const {
    for (const Line& l : Lines()) {
        if (l.level == level && l.text == text) {
            return true;
        }
    }
    return false;
}

} // namespace vtwidwus::test
