// Time of reading one value out of a 64 KiB printer reply with the XML template library. The
// reply is the simulated printer's answer to the device GetCapability, made 64 KiB long either
// by many more elements (the value read is the last of them) or by filler ahead of its values.
// Prints the figures.
//   vtqeldevc_xml_bench.exe [iterations]
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_xml.h"
#include "printersim/responder.h"
#include "qelbench/figures.h"
#include "requests.h"

namespace {

constexpr std::size_t kReplyBytes = 64 * 1024;
constexpr double kTargetMs = 1;
constexpr char kDevicePrefix[] = "cmd/ivec:contents/ivec:param_set servicetype=\"device\"/";

struct Shape {
    std::string what;
    std::string reply;
    std::string path;     // the one value read
    std::string expected; // what it must read
};

printersim::ReplyFault OnCapability() {
    printersim::ReplyFault fault;
    fault.service = "device";
    fault.operation = "GetCapability";
    fault.times = -1;
    return fault;
}

std::string Answer(const printersim::ReplyFault& fault) {
    std::array<char, vtqeldevc::xml::kFillCapacity> request{};
    std::size_t length = 0;
    if (vtqeldevc::BuildDeviceGetCapability(request, &length) != vtqeldevc::kBuildOk) {
        return {};
    }
    printersim::SharedPrinter printer;
    printersim::Responder responder(printer);
    responder.set_scenario(printersim::Scenario{{fault}, {}, {}});
    return responder.respond(printersim::PortPath::Port1, std::string_view(request.data(), length));
}

// The reply with as many further elements as fit, then made up to the size exactly.
Shape ManyElements() {
    printersim::ReplyFault fault = OnCapability();
    std::size_t size = Answer(fault).size();
    std::string name;
    std::string value;
    for (int i = 0;; ++i) {
        char text[64];
        std::snprintf(text, sizeof(text), "vvt:media_entry_%04d", i);
        const std::string nextName = text;
        std::snprintf(text, sizeof(text), "plain paper A4 tray %d, 210x297 mm", i);
        const std::string nextValue = text;
        const std::size_t element = 2 * nextName.size() + 5 + nextValue.size();
        if (size + element > kReplyBytes) {
            break;
        }
        size += element;
        name = nextName;
        value = nextValue;
        fault.elements.emplace_back(name, value);
    }
    fault.pad_to = kReplyBytes;
    const std::string count = std::to_string(fault.elements.size());
    return {"64 KiB reply of " + count + " more elements", Answer(fault), kDevicePrefix + name,
            value};
}

Shape FillerBeforeTheValues() {
    printersim::ReplyFault fault = OnCapability();
    fault.pad_to = kReplyBytes;
    fault.pad_place = printersim::PadPlace::InsideRoot;
    return {"64 KiB reply, filler before the values", Answer(fault),
            std::string(kDevicePrefix) + "ivec:response", "OK"};
}

} // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const Shape shapes[] = {ManyElements(), FillerBeforeTheValues()};
    std::printf("one value read from a printer reply, %d reads a reply (ms)\n", iterations);
    std::printf("%-44s %8s %8s %8s %8s\n", "reply", "bytes", "median", "min", "max");
    std::vector<qelbench::Figure> figures;
    for (const Shape& shape : shapes) {
        const std::vector<std::string> paths{shape.path};
        std::vector<std::string> values;
        std::vector<double> times;
        times.reserve(static_cast<std::size_t>(iterations));
        // The first read is left out: it pays for the first allocations of the process.
        for (int i = 0; i <= iterations; ++i) {
            values.clear();
            const auto start = std::chrono::steady_clock::now();
            const int result = vtqeldevc::ReadResponseValues(shape.reply, paths, &values);
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            if (result != 0 || values.size() != 1 || values[0] != shape.expected) {
                std::fprintf(stderr, "%s: read %d gave \"%s\", not \"%s\"\n", shape.what.c_str(),
                             result, values.empty() ? "" : values[0].c_str(),
                             shape.expected.c_str());
                return 1;
            }
            if (i > 0) {
                times.push_back(took.count());
            }
        }
        const double median = qelbench::Median(times);
        std::printf("%-44s %8zu %8.3f %8.3f %8.3f\n", shape.what.c_str(), shape.reply.size(),
                    median, qelbench::Min(times), *std::max_element(times.begin(), times.end()));
        figures.push_back({"XML read of one value, " + shape.what, median, "ms",
                           qelbench::Goal::Below, kTargetMs, 3});
    }
    for (const auto& figure : figures) {
        qelbench::PrintFigure(figure);
    }
    return 0;
}
