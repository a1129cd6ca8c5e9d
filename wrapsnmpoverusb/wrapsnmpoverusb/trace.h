// Tracing through the optional trace library vtwidlog. Without it nothing is traced and nothing
// else changes.
#pragma once

#include <vtwidlog/vtwidlog_api.h>
#include <win/unique_any.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace vtwidwus {

using TraceFunction = decltype(&VTWIDLOG_Trace);

// One trace library: loaded by name on first use, bound to VTWIDLOG_Trace.
class CTraceFacility {
public:
    explicit CTraceFacility(const wchar_t* libraryName) noexcept : libraryName_(libraryName) {}
    // A library still loaded here is left to the process: unloading is explicit (Unload), so
    // nothing is freed while the process terminates.
    ~CTraceFacility() { (void)module_.release(); }
    CTraceFacility(const CTraceFacility&) = delete;
    CTraceFacility& operator=(const CTraceFacility&) = delete;

    // The bound entry, or null when the library or its entry is missing.
    TraceFunction Function() noexcept;
    bool IsLoaded() noexcept { return Function() != nullptr; }
    // Frees the library if it was loaded; later traces are silent.
    void Unload() noexcept;

private:
    void Load() noexcept;

    const wchar_t* libraryName_;
    INIT_ONCE once_ = INIT_ONCE_STATIC_INIT;
    qelwin::unique_hmodule module_;
    // Written once under once_ (and by Unload, when the library is unloaded), read afterwards.
    TraceFunction function_ = nullptr;
};

// The process-wide facility of "vtwidlog.dll", loaded by bare name.
CTraceFacility& ProcessTracer() noexcept;

// The entry that trace sites call: a sink set for tests, else the process-wide facility's.
TraceFunction TraceSink() noexcept;
void SetTraceSinkForTest(TraceFunction sink) noexcept;
void ClearTraceSinkForTest() noexcept;

// Lets the compiler check each trace site's format against its arguments.
inline void CheckTraceFormat(const char*, ...) noexcept __attribute__((format(printf, 1, 2)));
inline void CheckTraceFormat(const char*, ...) noexcept {}

// A pointer or handle for a "%lu" placeholder.
inline unsigned long TraceHandle(const void* p) noexcept {
    return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(p));
}

// Caller text read no further than its field and copied before it is traced.
template <std::size_t N> std::string BoundedText(const char (&field)[N]) {
    return std::string(field, ::strnlen(field, N));
}
inline std::string BoundedText(const char* text, std::size_t limit) {
    return text == nullptr ? std::string() : std::string(text, ::strnlen(text, limit));
}

} // namespace vtwidwus

// VTW_TRACE(level, format, args...): one trace line with this file and line.
#define VTW_TRACE(level, ...)                                                                      \
    do {                                                                                           \
        if (const ::vtwidwus::TraceFunction vtwTraceFn_ = ::vtwidwus::TraceSink()) {               \
            if (false) {                                                                           \
                ::vtwidwus::CheckTraceFormat(__VA_ARGS__);                                         \
            }                                                                                      \
            vtwTraceFn_((level), __FILE__, __LINE__, __VA_ARGS__);                                 \
        }                                                                                          \
    } while (false)
