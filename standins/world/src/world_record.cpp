#include "world_record.h"

#include "world_printer.h"
#include "world_text.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "win/unique_any.h"

namespace qelworld {

namespace {

// Opened on the first line; every line goes out at once (no buffer), so what a run did before
// it crashed is in the file.
class RecordFile {
public:
    // Whether a record is being written (the environment is read once).
    bool Active() {
        std::lock_guard guard(mutex_);
        OpenOnce();
        return static_cast<bool>(file_);
    }

    void Append(std::string_view line) {
        std::lock_guard guard(mutex_);
        OpenOnce();
        if (!file_) {
            return;
        }
        std::string text(line);
        text += '\n';
        DWORD written = 0;
        ::WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }

private:
    void OpenOnce() {
        if (opened_) {
            return;
        }
        opened_ = true;
        wchar_t path[MAX_PATH * 2] = {};
        const DWORD n = ::GetEnvironmentVariableW(L"QEL_WORLD_RECORD", path, ARRAYSIZE(path));
        if (n > 0 && n < ARRAYSIZE(path)) {
            file_.reset(::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }

    std::mutex mutex_;
    bool opened_ = false;
    qelwin::unique_file file_;
};

RecordFile& Record() {
    static RecordFile* file = new RecordFile(); // lives to the end of the process
    return *file;
}

} // namespace

void RecordLine(std::string_view line) noexcept {
    try {
        Record().Append(line);
    } catch (...) {
        // A record that cannot be written never changes what the world does.
    }
}

void RecordLastExchange(const WorldPrinter& printer) noexcept {
    try {
        if (!Record().Active()) {
            return;
        }
        const auto history = printer.responder.history();
        if (history.empty()) {
            return;
        }
        const printersim::ExchangeRecord& r = history.back();
        std::string line = "exchange " + printer.name + " " + PortName(r.port) + " " + r.service +
                           " " + r.operation + " " + r.response;
        if (!r.detail.empty()) {
            line += " " + r.detail;
        }
        RecordLine(line);
    } catch (...) {
    }
}

} // namespace qelworld
