// The exports of the stand-in trace library: the trace entry and the reading side for tests;
// and its entry point.
#include "trace_journal.h"

#include "vtwidlog/vtwidlog_api.h"
#include "vtwidlog/vtwidlogsim_control.h"
#include "win/runtime_release.h"

#include <cstdarg>
#include <cstdio>

using vtwidlogsim::CopyOut;
using vtwidlogsim::TraceJournal;
using vtwidlogsim::TraceRecord;

namespace {

std::string Format(const char* format, va_list args) {
    char buffer[VTWIDLOGSIM_MAX_TEXT];
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0) {
        return {};
    }
    return buffer;
}

std::optional<TraceRecord> Record(int index) {
    if (index < 0) {
        return std::nullopt;
    }
    return TraceJournal::Process().At(static_cast<std::size_t>(index));
}

} // namespace

// The USB wrapper loads the library and frees it again with every device operation.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    qelwin::ReleaseRuntimeOnUnload(reason, reserved);
    return TRUE;
}

extern "C" void __cdecl VTWIDLOG_Trace(int level, const char* source, int line, const char* format,
                                       ...) {
    try {
        TraceRecord record;
        record.level = level;
        record.source = source != nullptr ? source : "";
        record.line = line;
        if (format != nullptr) {
            record.format = format;
            va_list args;
            va_start(args, format);
            record.text = Format(format, args);
            va_end(args);
        }
        TraceJournal::Process().Add(std::move(record));
    } catch (...) {
        // A trace that cannot be kept is dropped; the caller never notices.
    }
}

extern "C" __declspec(dllexport) int __cdecl VTWIDLOGSIM_GetCount(void) {
    return static_cast<int>(TraceJournal::Process().Count());
}

extern "C" __declspec(dllexport) int __cdecl VTWIDLOGSIM_GetRecord(int index, int* level,
                                                                   char* text, int textSize) {
    try {
        const auto record = Record(index);
        if (!record) {
            return -1;
        }
        if (level != nullptr) {
            *level = record->level;
        }
        return CopyOut(record->text, text, textSize);
    } catch (...) {
        return -1;
    }
}

extern "C" __declspec(dllexport) int __cdecl VTWIDLOGSIM_GetFormat(int index, char* format,
                                                                   int formatSize) {
    try {
        const auto record = Record(index);
        return record ? CopyOut(record->format, format, formatSize) : -1;
    } catch (...) {
        return -1;
    }
}

extern "C" __declspec(dllexport) int __cdecl VTWIDLOGSIM_GetSource(int index, char* path,
                                                                   int pathSize, int* line) {
    try {
        const auto record = Record(index);
        if (!record) {
            return -1;
        }
        if (line != nullptr) {
            *line = record->line;
        }
        return CopyOut(record->source, path, pathSize);
    } catch (...) {
        return -1;
    }
}

extern "C" __declspec(dllexport) void __cdecl VTWIDLOGSIM_Clear(void) {
    TraceJournal::Process().Clear();
}
