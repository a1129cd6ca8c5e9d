// How the simulated printer misbehaves: faults that change chosen replies, and the printer-side
// choices that make a job fail for real (a challenge that the host must refuse, a key that makes
// the host's answer wrong).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace printersim {

enum class ReplyNamespaces { Usual, OtherPrefix, WrongUri, Undeclared };

// Where filler goes when a reply is made longer.
enum class PadPlace {
    InsideRoot, // a comment right after <cmd ...>, before every value
    AfterRoot,  // blanks after </cmd> (not for ReceiveData: its payload must stay last)
};

struct ReplyFault {
    // Which replies: service type and operation of the request ("" matches any); the first
    // `skip` matching replies are left alone, then `times` are changed (-1: all that follow).
    std::string service;
    std::string operation;
    int skip = 0;
    int times = 1;

    // ivec:response and ivec:response_detail as sent.
    std::optional<std::string> response;
    std::optional<std::string> detail;
    // Children of ivec:param_set set to a text, or left out (nullopt), by name ("vvt:ijdatakey7").
    std::vector<std::pair<std::string, std::optional<std::string>>> elements;

    ReplyNamespaces namespaces = ReplyNamespaces::Usual;
    bool comments_with_gt = false;
    // The ReceiveData payload with one byte changed, so it does not decrypt.
    bool corrupt_payload = false;

    // Bytes of the whole reply: made up to this size with filler that holds no NUL...
    std::optional<std::size_t> pad_to;
    PadPlace pad_place = PadPlace::InsideRoot;
    // ...cut to this size, or right after the first occurrence of this text (for example
    // "</ivec:response>" between two elements, or "<ivec:mod" inside a tag)...
    std::optional<std::size_t> cut_to;
    std::optional<std::string> cut_after;
    // ...or replaced altogether.
    std::optional<std::string> raw;

    // Milliseconds that the printer takes before it answers (through the responder's sleep).
    unsigned delay_ms = 0;
};

// The reply to (service, operation) refused with "NG" and this detail ("" gives the bare "NG").
inline ReplyFault refuse(std::string service, std::string operation, std::string detail) {
    ReplyFault f;
    f.service = std::move(service);
    f.operation = std::move(operation);
    f.response = "NG";
    f.detail = std::move(detail);
    return f;
}

// The reply to (service, operation) with one child of ivec:param_set set to a text, or left out.
inline ReplyFault change_element(std::string service, std::string operation, std::string name,
                                 std::optional<std::string> value) {
    ReplyFault f;
    f.service = std::move(service);
    f.operation = std::move(operation);
    f.elements.emplace_back(std::move(name), std::move(value));
    return f;
}

struct Scenario {
    std::vector<ReplyFault> faults;
    // The challenge handed out instead of a generated one (for example one with upper-case
    // letters or an odd number of digits, which the host must refuse).
    std::optional<std::string> challenge;
    // The address from which the printer computes the answer it expects, instead of its own key
    // address: the host's answer is then wrong and the printer says "AuthenticationError".
    std::optional<std::string> answer_address;
};

} // namespace printersim
