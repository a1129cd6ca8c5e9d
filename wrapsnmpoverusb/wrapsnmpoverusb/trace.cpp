#include "trace.h"

#include <win/run_once.h>

namespace vtwidwus {

namespace {
TraceFunction g_testSink = nullptr; // set by tests before they trace
std::atomic<bool> g_testSinkSet{false};
CTraceFacility g_processTracer(L"vtwidlog.dll");
} // namespace

void CTraceFacility::Load() noexcept {
    module_.reset(::LoadLibraryW(libraryName_));
    if (!module_) {
        return;
    }
    function_ = reinterpret_cast<TraceFunction>(
        reinterpret_cast<void*>(::GetProcAddress(module_.get(), "VTWIDLOG_Trace")));
}

TraceFunction CTraceFacility::Function() noexcept {
    qelwin::RunOnce(once_, [this] { Load(); });
    return function_;
}

void CTraceFacility::Unload() noexcept {
    // Make sure a later first use does not load the library again.
    qelwin::RunOnce(once_, [] {});
    function_ = nullptr;
    module_.reset();
}

CTraceFacility& ProcessTracer() noexcept {
    return g_processTracer;
}

TraceFunction TraceSink() noexcept {
    if (g_testSinkSet.load()) {
        return g_testSink;
    }
    return g_processTracer.Function();
}

void SetTraceSinkForTest(TraceFunction sink) noexcept {
    g_testSink = sink;
    g_testSinkSet.store(true);
}

void ClearTraceSinkForTest() noexcept {
    g_testSinkSet.store(false);
    g_testSink = nullptr;
}

} // namespace vtwidwus
