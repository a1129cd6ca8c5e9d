// The pages a test's program opened in "the browser": qelpagerec.exe stands registered as the
// handler of http and https in the test prefix and writes each address it receives to the file
// that QEL_PAGE_RECORD names. A recorder gives its test its own file.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace qeltest {

inline constexpr wchar_t kPageRecordVariable[] = L"QEL_PAGE_RECORD";

// Where qelpagerec.exe notes each page it could not record, with why: one file of the prefix's
// temporary folder, as a browser started without the record's name cannot know another.
std::wstring UnrecordedPagesFile();

class PageRecorder {
public:
    // Registers qelpagerec.exe (beside the test program) as the browser and points
    // QEL_PAGE_RECORD, which programs started from now on inherit, at a fresh file.
    PageRecorder();
    ~PageRecorder();
    PageRecorder(const PageRecorder&) = delete;
    PageRecorder& operator=(const PageRecorder&) = delete;

    // False when the recorder could not be registered.
    bool Registered() const noexcept { return registered_; }

    // The pages recorded so far, in order.
    std::vector<std::wstring> Pages() const;

    // Waits until at least count pages were recorded (a browser starts asynchronously) and
    // returns them; fewer when the time ran out. The bound is generous: it costs nothing when
    // the page comes, and a browser started while every processor runs a test took over 10 s.
    std::vector<std::wstring>
    WaitForPages(std::size_t count,
                 std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

    // Waits until every qelpagerec.exe started since this recorder was made has ended, so each
    // page asked for by then is recorded, and returns the pages; at most bound. A browser not
    // running any more has written its page: no time is spent when nothing is on its way.
    std::vector<std::wstring> WaitForRecorders(std::chrono::milliseconds bound) const;

    // The lines noted in UnrecordedPagesFile() since this recorder was made: pages a browser
    // was asked for and could not record ("<address>\t<why>").
    std::vector<std::wstring> Unrecorded() const;

private:
    std::wstring file_;
    std::uint64_t unrecordedFrom_ = 0; // the size of UnrecordedPagesFile() when made
    std::uint64_t made_ = 0;           // when this recorder was made (FILETIME)
    bool registered_ = false;
};

// Waits until every qelpagerec.exe of this prefix made at or after since (FILETIME ticks; 0: any),
// other than this process, has ended, at most bound; false when one still runs then.
bool WaitForRecordersMadeSince(std::uint64_t since, std::chrono::milliseconds bound);

} // namespace qeltest
