#include "fault_keys.h"

#include "text_values.h"

#include <algorithm>
#include <initializer_list>

namespace qelworld {

using namespace text;

namespace {

struct FaultEntry {
    std::string_view entry;
    std::initializer_list<std::string_view> words;
    bool numbers;
};

// Every entry of the port, device and search libraries; a fault names one of them.
const FaultEntry kFaultEntries[] = {
    {"pu2Open", {"fail"}, false},
    {"pu2Close", {"fail"}, true},
    {"pu2SetIF", {"fail"}, true},
    {"pu2SetIP", {"fail"}, true},
    {"pu2SetPrinterName", {"fail"}, true},
    {"pu2SetUrl", {"fail"}, true},
    {"pu2SetTimeout", {"fail"}, true},
    {"pu2SetMasterPortOption", {"fail"}, true},
    {"pu2SetEventType", {"fail"}, true},
    {"pu2SetCommandType", {"fail"}, true},
    {"pu2SetEventBufferSize", {"fail"}, true},
    {"pu2Write", {"fail"}, true},
    {"pu2Read", {"fail"}, true},
    {"puOpen", {"fail"}, false},
    {"puOpenPort", {"fail"}, false},
    {"puClose", {"fail"}, false},
    {"puDeviceID", {"fail"}, false},
    {"puWrite", {"fail", "stale"}, false},
    {"puRead", {"fail", "fail-close", "empty"}, false},
    {"pulowWorkingPort", {"fail", "none", "no-trailing-backslash"}, false},
    {"VTWIDUNS_CreateInstance", {"fail"}, false},
    {"VTWIDUNS_OptSetting", {"fail"}, true},
    {"VTWIDUNS_Search", {"fail"}, true},
    {"VTWIDUNS_GetDeviceId", {"fail"}, true},
    {"VTWIDUNS_CommStart", {"fail"}, true},
    {"VTWIDUNS_CommEnd", {"fail"}, true},
    {"VTWIDUNS_GetInfo", {"fail"}, true},
    {"VTWIDUNS_SetInfo", {"fail"}, true},
    {"VTWIDUNS_Control", {"fail"}, true},
    {"VTWIDUNS_CommEndNotUnLock", {"fail"}, true},
    {"VTWIDUNS_UnLock", {"fail"}, true},
    {"VTWNSCH_CreateInstance", {"fail"}, false},
    {"VTWNSCH_OptSetting", {"fail"}, true},
    {"VTWNSCH_Search", {"fail"}, true},
    {"VTWNSCH_SearchByIpv6", {"fail"}, true},
    {"VTWNSCH_CancelSearch", {"fail"}, true},
    {"VTWNSCH_EnumSearchInfo", {"fail", "short", "ragged", "unterminated"}, true},
};

const FaultEntry* FindFaultEntry(std::string_view entry) {
    for (const FaultEntry& e : kFaultEntries) {
        if (e.entry == entry) {
            return &e;
        }
    }
    return nullptr;
}

// "skip N" and "times N|always" after the words that a fault or reply fault needs.
std::string TakeCounts(const std::vector<std::string>& words, std::size_t from, int& skip,
                       int& times) {
    for (std::size_t i = from; i < words.size(); i += 2) {
        if (words[i] != "skip" && words[i] != "times") {
            return "'" + words[i] + "' is neither skip nor times";
        }
        if (i + 1 >= words.size()) {
            return "'" + words[i] + "' needs a value";
        }
        const std::string& v = words[i + 1];
        if (words[i] == "skip") {
            const auto n = Number<int>(v, 0, 1000000);
            if (!n) {
                return NumberError(v, 0, 1000000);
            }
            skip = *n;
        } else if (words[i] == "times") {
            const auto n = v == "always" ? std::optional<int>(-1) : Number<int>(v, 1, 1000000);
            if (!n) {
                return "times '" + v + "' is neither always nor a number from 1 to 1000000";
            }
            times = *n;
        }
    }
    return {};
}

std::string CountsText(int skip, int times) {
    return " skip " + std::to_string(skip) + " times " +
           (times < 0 ? std::string("always") : std::to_string(times));
}

} // namespace

std::string AddFault(std::vector<FaceFault>& faults, std::string_view value) {
    if (value == "none") {
        faults.clear();
        return {};
    }
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    if (words->size() < 2) {
        return "a fault names an entry and what it does";
    }
    FaceFault f;
    f.entry = (*words)[0];
    f.action = (*words)[1];
    const FaultEntry* entry = FindFaultEntry(f.entry);
    if (entry == nullptr) {
        return "'" + f.entry + "' is no entry of vtmpu2, vtmpu, vtwiduns or vtwidsd";
    }
    if (const auto n = Number<int>(f.action, -1000000, 1000000)) {
        if (!entry->numbers) {
            return f.entry + " takes no result code, only a word";
        }
        f.code = *n;
    } else if (std::find(entry->words.begin(), entry->words.end(), f.action) ==
               entry->words.end()) {
        std::string known;
        for (std::string_view w : entry->words) {
            known += (known.empty() ? "" : ", ") + std::string(w);
        }
        return "'" + f.action + "' is not what " + f.entry + " can do (" + known +
               (entry->numbers ? ", or a result code)" : ")");
    }
    if (std::string e = TakeCounts(*words, 2, f.skip, f.times); !e.empty()) {
        return e;
    }
    faults.push_back(std::move(f));
    return {};
}
std::vector<std::string> FaultLines(const std::vector<FaceFault>& faults) {
    std::vector<std::string> out;
    for (const FaceFault& f : faults) {
        out.push_back(f.entry + " " + f.action + CountsText(f.skip, f.times));
    }
    return out;
}

std::string AddReplyFault(WorldPrinter& p, std::string_view value) {
    if (value == "none") {
        p.replies.faults.clear();
        p.replyFaultLines.clear();
        p.responder.set_scenario(p.replies);
        return {};
    }
    std::string error;
    const auto words = Words(value, error);
    if (!words) {
        return error;
    }
    if (words->size() < 3) {
        return "a reply fault names a service, an operation and what changes";
    }
    const auto& w = *words;
    printersim::ReplyFault f;
    f.service = w[0] == "*" ? std::string() : w[0];
    f.operation = w[1] == "*" ? std::string() : w[1];
    const std::string& kind = w[2];
    std::size_t next = 3;
    const auto arg = [&](std::string_view what) -> const std::string* {
        if (next >= w.size()) {
            error = kind + " needs " + std::string(what);
            return nullptr;
        }
        return &w[next++];
    };
    const auto size = [&](std::optional<std::size_t>& into) {
        if (const std::string* v = arg("a number of bytes")) {
            into = Number<std::size_t>(*v, 0, 1 << 20);
            if (!into) {
                error = NumberError(*v, 0, 1 << 20);
            }
        }
    };
    if (kind == "refuse") {
        f.response = "NG";
        f.detail = "";
        // The detail is optional: "refuse" alone sends a bare "NG".
        if (next < w.size() && w[next] != "skip" && w[next] != "times") {
            f.detail = w[next++];
        }
    } else if (kind == "set") {
        const std::string* name = arg("an element name and a value");
        const std::string* text = name ? arg("a value") : nullptr;
        if (text != nullptr) {
            f.elements.emplace_back(*name, *text);
        }
    } else if (kind == "drop") {
        if (const std::string* name = arg("an element name")) {
            f.elements.emplace_back(*name, std::nullopt);
        }
    } else if (kind == "pad") {
        size(f.pad_to);
        if (next < w.size() && w[next] == "after-root") {
            f.pad_place = printersim::PadPlace::AfterRoot;
            ++next;
        }
    } else if (kind == "cut") {
        size(f.cut_to);
    } else if (kind == "cut-after") {
        if (const std::string* text = arg("a text")) {
            f.cut_after = *text;
        }
    } else if (kind == "raw") {
        if (const std::string* text = arg("a text")) {
            f.raw = *text;
        }
    } else if (kind == "delay") {
        std::optional<std::size_t> ms;
        size(ms);
        f.delay_ms = static_cast<unsigned>(ms.value_or(0));
    } else if (kind == "namespaces") {
        if (const std::string* how = arg("other-prefix, wrong-uri or undeclared")) {
            if (*how == "other-prefix") {
                f.namespaces = printersim::ReplyNamespaces::OtherPrefix;
            } else if (*how == "wrong-uri") {
                f.namespaces = printersim::ReplyNamespaces::WrongUri;
            } else if (*how == "undeclared") {
                f.namespaces = printersim::ReplyNamespaces::Undeclared;
            } else {
                error = "'" + *how + "' is none of other-prefix, wrong-uri, undeclared";
            }
        }
    } else if (kind == "comments-with-gt") {
        f.comments_with_gt = true;
    } else if (kind == "corrupt-payload") {
        f.corrupt_payload = true;
    } else {
        return "'" + kind +
               "' is none of refuse, set, drop, pad, cut, cut-after, raw, delay, namespaces, "
               "comments-with-gt, corrupt-payload";
    }
    if (!error.empty()) {
        return error;
    }
    if (std::string e = TakeCounts(w, next, f.skip, f.times); !e.empty()) {
        return e;
    }
    p.replies.faults.push_back(std::move(f));
    p.replyFaultLines.emplace_back(Trim(value));
    p.responder.set_scenario(p.replies);
    return {};
}

} // namespace qelworld
