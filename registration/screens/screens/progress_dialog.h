// The two progress dialogs: a marquee and a line of text over the screen that started a
// background operation. They poll the operation every 500 ms and close at the first poll that
// finds it done; nothing else closes them (no cancel button, no close command, Escape ignored).
#pragma once

#include <windows.h>

#include <string>

#include "screens/progress_callback.h"
#include "ui/dialog_controller.h"

namespace qelscreens {

enum class ProgressDialog {
    kSearch, // a printer search or an access-point step (dialog 143)
    kStatus, // a registration (dialog 145)
};

// The controller of one progress dialog.
class DialogTimer final : public qelui::DialogController {
public:
    static constexpr UINT kPollMilliseconds = 500;

    DialogTimer() = default;
    ~DialogTimer() override { Reset(); }

    void SetCallback(PollingCallBack* callback) noexcept { callback_ = callback; }
    // The caption; an empty title gives an empty caption.
    void SetTitle(std::wstring title) noexcept { title_ = std::move(title); }

    // Stops the poll if it still runs, empties the title and lets go of the view model and the
    // text library.
    void Reset() noexcept;

    // Shows the dialog over parent until the operation is done; 1 then.
    INT_PTR DoModal(ProgressDialog which, HWND parent);

    bool Polling() const noexcept { return timer_ != 0; }

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void StopPolling() noexcept;
    UINT_PTR TimerId() const noexcept;

    int barId_ = 0;
    PollingCallBack* callback_ = nullptr;
    UINT_PTR timer_ = 0;
    std::wstring title_;
};

} // namespace qelscreens
