// A printer with a responder over the test tables, and helpers that write requests and read
// replies as plain text.
#pragma once

#include "printersim/printer_crypto.h"
#include "printersim/responder.h"

#include "test_tables.h"
#include "xml_request_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace printersim::testing {

struct Reply {
    std::string raw;
    bool readable = false;
    std::string operation;
    std::string service;
    std::vector<std::pair<std::string, std::string>> params;
    std::string payload; // bytes after </cmd>

    std::string get(std::string_view name) const {
        for (const auto& [k, v] : params) {
            if (k == name) {
                return v;
            }
        }
        return "<missing>";
    }
    std::string response() const { return get("ivec:response"); }
    std::string detail() const { return get("ivec:response_detail"); }
};

class ResponderTest : public ::testing::Test {
protected:
    SharedPrinter printer;
    Responder responder{printer, test_tables()};
    std::vector<unsigned> sleeps;

    ResponderTest() {
        responder.set_sleep([this](unsigned ms) { sleeps.push_back(ms); });
    }

    static std::string common_ns() { return common_namespace(test_tables()); }
    static std::string vendor_ns() { return vendor_namespace(test_tables()); }

    static std::string request(std::string_view service, std::string_view operation,
                               std::string_view children = {}) {
        return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><cmd xmlns:ivec=\"" + common_ns() +
               "\" xmlns:vvt=\"" + vendor_ns() + "\"><ivec:contents><ivec:operation>" +
               std::string(operation) + "</ivec:operation><ivec:param_set servicetype=\"" +
               std::string(service) + "\">" + std::string(children) +
               "</ivec:param_set></ivec:contents></cmd>";
    }

    static Reply parse(const std::string& raw) {
        Reply r;
        r.raw = raw;
        const auto end = raw.find("</cmd>");
        const auto xml = end == std::string::npos ? raw : raw.substr(0, end + 6);
        if (end != std::string::npos) {
            r.payload = raw.substr(end + 6);
        }
        auto read = read_command_request(xml, common_ns(), vendor_ns());
        if (read.request) {
            r.readable = true;
            r.operation = read.request->operation;
            r.service = read.request->service_type;
            r.params = read.request->params;
        }
        return r;
    }

    Reply send(PortPath port, const std::string& req) {
        return parse(responder.respond(port, req));
    }
    Reply device(std::string_view op, std::string_view children = {}) {
        return send(PortPath::Port1, request("device", op, children));
    }
    Reply qel(std::string_view op, std::string_view children = {}) {
        return send(PortPath::Port2, request("qel", op, children));
    }

    // The qel login as the host does it; returns the authenticated StartJob reply.
    Reply login(std::string_view job = "6f1c2a4e-1111-4222-8333-944455556666",
                std::string_view address = "00:1B:A9:3C:00:01") {
        const std::string cdata =
            "<ivec:job_description><![CDATA[" + std::string(job) + "]]></ivec:job_description>";
        const auto first = qel("StartJob", "<ivec:bidi>1</ivec:bidi>" + cdata +
                                               "<vvt:ijdatakey3>9e41c07b2d58a3f6e0b1947c5d2a86fe"
                                               "</vvt:ijdatakey3>");
        EXPECT_EQ(first.response(), "NG");
        EXPECT_EQ(first.detail(), "");
        const auto answer =
            crypto::challenge_answer(test_tables(), address, first.get("vvt:ijdatakey4"), job);
        EXPECT_TRUE(answer);
        return qel("StartJob", "<ivec:bidi>1</ivec:bidi>" + cdata +
                                   "<vvt:ijdatakey1>ADMIN</vvt:ijdatakey1><vvt:ijdatakey2>" +
                                   answer.value_or("") + "</vvt:ijdatakey2>");
    }

    // A ReceiveData request with its payload: the document ciphered as the job's key says.
    std::string receive_data(const Reply& job, std::string_view format, const std::string& document,
                             std::string_view address = "00:1B:A9:3C:00:01") {
        const std::string key7 = job.get("vvt:ijdatakey7");
        const auto mode = static_cast<std::uint32_t>(std::stoul(key7.substr(0, 8), nullptr, 16));
        const auto sel = static_cast<std::uint32_t>(std::stoul(key7.substr(8, 8), nullptr, 16));
        const auto payload =
            crypto::cipher_payload(test_tables(), true, address, mode, sel,
                                   crypto::Bytes(document.begin(), document.end()));
        EXPECT_TRUE(payload);
        return receive_data_raw(job, format, std::string(payload->begin(), payload->end()),
                                std::to_string(payload->size()),
                                crypto::payload_digest(*payload).value_or(""));
    }

    std::string receive_data_raw(const Reply& job, std::string_view format,
                                 const std::string& payload, const std::string& size,
                                 const std::string& digest) {
        return request("qel", "ReceiveData",
                       "<ivec:jobID>" + job.get("ivec:jobID") +
                           "</ivec:jobID><ivec:job_description><![CDATA[" +
                           job.get("ivec:job_description") +
                           "]]></ivec:job_description><ivec:format>" + std::string(format) +
                           "</ivec:format><ivec:datasize>" + size +
                           "</ivec:datasize><vvt:ijdatakey6>" + digest +
                           "</vvt:ijdatakey6><ivec:continue>OFF</ivec:continue>") +
               payload;
    }

    // The reply's payload deciphered with the job's key.
    std::string open_payload(const Reply& job, const Reply& reply,
                             std::string_view address = "00:1B:A9:3C:00:01") {
        const std::string key7 = job.get("vvt:ijdatakey7");
        const auto mode = static_cast<std::uint32_t>(std::stoul(key7.substr(0, 8), nullptr, 16));
        const auto sel = static_cast<std::uint32_t>(std::stoul(key7.substr(8, 8), nullptr, 16));
        const auto plain =
            crypto::cipher_payload(test_tables(), false, address, mode, sel,
                                   crypto::Bytes(reply.payload.begin(), reply.payload.end()));
        return plain ? std::string(plain->begin(), plain->end()) : "<undecipherable>";
    }
};

} // namespace printersim::testing
