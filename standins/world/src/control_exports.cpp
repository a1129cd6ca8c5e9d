// The QELWORLD_ functions with which tests set the world up and read it back.
#include "qelworld/qelworld_control.h"
#include "world.h"
#include "world_text.h"

#include <windows.h>

using namespace qelworld;

namespace {

constexpr int kBad = -1;
constexpr int kWrongText = -2;

int Report(const std::string& error, char* buffer, int size) {
    if (error.empty()) {
        return 0;
    }
    if (buffer != nullptr && size > 0) {
        CopyText(error, buffer, size);
    }
    return kWrongText;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += (out.empty() ? "" : "\n") + l;
    }
    return out;
}

// Facts of the whole world for QELWORLD_Get with no printer.
std::optional<std::string> ReadWorldKey(World& world, std::string_view key) {
    const auto after = [&](std::string_view head) -> std::optional<std::string_view> {
        if (key.substr(0, head.size()) == head) {
            return key.substr(head.size());
        }
        return std::nullopt;
    };
    if (key == "search-delay-ms") {
        return std::to_string(world.Settings().searchDelayMs);
    }
    if (key == "fault") {
        std::vector<std::string> lines;
        for (const FaceFault& f : world.Faults()) {
            lines.push_back(f.entry + " " + f.action);
        }
        return Joined(lines);
    }
    if (key == "printers") {
        std::vector<std::string> names;
        for (const auto& p : world.Printers()) {
            names.push_back(p->name);
        }
        return Joined(names);
    }
    if (key == "bus") {
        std::vector<std::string> names;
        for (int i = 0; WorldPrinter* p = world.BusPrinter(i); ++i) {
            names.push_back(p->name);
        }
        return Joined(names);
    }
    if (key == "journal") {
        return Joined({world.Journal().begin(), world.Journal().end()});
    }
    if (key == "search" || key == "search-ipv6") {
        std::vector<std::string> lines;
        for (const SearchEntry& e : world.NetworkSearch(key == "search-ipv6")) {
            lines.push_back(e.address + (e.scope != 0 ? "%" + std::to_string(e.scope) : ""));
        }
        return Joined(lines);
    }
    if (key == "usb-ports") {
        return Joined(world.WorkingUsbPorts());
    }
    if (key == "peak-answers") {
        return std::to_string(world.PeakAnswers());
    }
    if (key == "startup") {
        return world.StartupReport();
    }
    if (auto entry = after("hits ")) {
        int hits = 0;
        for (const FaceFault& f : world.Faults()) {
            hits += f.entry == *entry ? f.hits : 0;
        }
        return std::to_string(hits);
    }
    for (const auto head : {"loads ", "unloads ", "open-at-unload "}) {
        if (auto library = after(head)) {
            const LibraryCounts c = World::Counts(*library);
            const std::string_view h = head;
            return std::to_string(h == "loads "     ? c.loads
                                  : h == "unloads " ? c.unloads
                                                    : c.openAtUnload);
        }
    }
    return std::nullopt;
}

int LoadText(const char* text, char* error, int errorSize, bool replace) {
    if (text == nullptr) {
        return kBad;
    }
    try {
        World& world = World::Get();
        auto lock = world.Lock();
        return Report(world.Load(text, "control", replace), error, errorSize);
    } catch (...) {
        return Report("the world could not take the text", error, errorSize);
    }
}

} // namespace

extern "C" {

void QELWORLD_CALL QELWORLD_Reset(void) {
    try {
        World& world = World::Get();
        auto lock = world.Lock();
        world.Reset();
    } catch (...) {
    }
}

int QELWORLD_CALL QELWORLD_Load(const char* text, char* error, int errorSize) {
    return LoadText(text, error, errorSize, true);
}

int QELWORLD_CALL QELWORLD_Add(const char* text, char* error, int errorSize) {
    return LoadText(text, error, errorSize, false);
}

int QELWORLD_CALL QELWORLD_LoadFile(const wchar_t* path, char* error, int errorSize) {
    if (path == nullptr) {
        return kBad;
    }
    try {
        return Report(World::Get().LoadFile(path), error, errorSize);
    } catch (...) {
        return Report("the world could not take the file", error, errorSize);
    }
}

int QELWORLD_CALL QELWORLD_Configure(const char* printer, const char* line, char* error,
                                     int errorSize) {
    if (line == nullptr) {
        return kBad;
    }
    try {
        World& world = World::Get();
        auto lock = world.Lock();
        const std::string_view name = printer != nullptr ? printer : "";
        if (!name.empty() && !world.Find(name)) {
            return kBad;
        }
        return Report(world.Configure(name, line), error, errorSize);
    } catch (...) {
        return Report("the world could not take the line", error, errorSize);
    }
}

int QELWORLD_CALL QELWORLD_Get(const char* printer, const char* key, char* buffer, int size) {
    if (key == nullptr) {
        return kBad;
    }
    try {
        World& world = World::Get();
        auto lock = world.Lock();
        std::optional<std::string> value;
        if (printer == nullptr || *printer == '\0') {
            value = ReadWorldKey(world, key);
        } else if (const auto p = world.Find(printer)) {
            value = ReadPrinterKey(*p, key);
        }
        return value ? CopyText(*value, buffer, size) : kBad;
    } catch (...) {
        return kBad;
    }
}

void QELWORLD_CALL QELWORLD_ClearJournal(void) {
    try {
        World& world = World::Get();
        auto lock = world.Lock();
        world.ClearJournal();
    } catch (...) {
    }
}

void QELWORLD_CALL QELWORLD_LibraryLoaded(const char* library) {
    try {
        if (library != nullptr) {
            World::LibraryLoaded(library);
        }
    } catch (...) {
    }
}

void QELWORLD_CALL QELWORLD_LibraryUnloaded(const char* library) {
    try {
        if (library != nullptr) {
            World::LibraryUnloaded(library);
        }
    } catch (...) {
    }
}

} // extern "C"
