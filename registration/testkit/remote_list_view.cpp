#include "testkit/remote_list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <optional>

#include "win/unique_any.h"

namespace qeltest {

namespace {

constexpr UINT kAnswerTimeoutMs = 3000;
constexpr std::size_t kTextChars = 512;

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                               &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

// An item record and its text buffer in the list's own process, freed with the object.
class RemoteItem {
public:
    explicit RemoteItem(HWND list) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(list, &processId);
        process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, processId));
        if (process_) {
            memory_ = ::VirtualAllocEx(process_.get(), nullptr, kSize, MEM_COMMIT | MEM_RESERVE,
                                       PAGE_READWRITE);
        }
    }
    ~RemoteItem() {
        if (memory_ != nullptr) {
            ::VirtualFreeEx(process_.get(), memory_, 0, MEM_RELEASE);
        }
    }
    RemoteItem(const RemoteItem&) = delete;
    RemoteItem& operator=(const RemoteItem&) = delete;

    bool Ready() const noexcept { return memory_ != nullptr; }
    LPARAM Item() const noexcept { return reinterpret_cast<LPARAM>(memory_); }

    // Writes the record; its text pointer, when asked for, points at the buffer behind it.
    bool Put(LVITEMW item, bool withText) {
        if (withText) {
            item.pszText = reinterpret_cast<LPWSTR>(static_cast<BYTE*>(memory_) + sizeof(LVITEMW));
            item.cchTextMax = static_cast<int>(kTextChars);
        }
        return ::WriteProcessMemory(process_.get(), memory_, &item, sizeof(item), nullptr);
    }

    std::wstring Text() const {
        std::array<wchar_t, kTextChars> text{};
        if (!::ReadProcessMemory(process_.get(), static_cast<BYTE*>(memory_) + sizeof(LVITEMW),
                                 text.data(), sizeof(wchar_t) * (text.size() - 1), nullptr)) {
            return {};
        }
        return text.data();
    }

private:
    static constexpr SIZE_T kSize = sizeof(LVITEMW) + kTextChars * sizeof(wchar_t);
    qelwin::unique_handle process_;
    void* memory_ = nullptr;
};

} // namespace

int ListRowCount(HWND list) {
    return static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0).value_or(-1));
}

int SelectedListRow(HWND list) {
    return static_cast<int>(
        Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED).value_or(-1));
}

std::vector<std::wstring> ReadListRows(HWND list) {
    RemoteItem remote(list);
    const int rows = ListRowCount(list);
    if (!remote.Ready() || rows <= 0) {
        return {};
    }
    HWND header = reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER, 0, 0).value_or(0));
    const int columns =
        header != nullptr ? static_cast<int>(Ask(header, HDM_GETITEMCOUNT, 0, 0).value_or(1)) : 1;
    std::vector<std::wstring> texts;
    for (int row = 0; row < rows; ++row) {
        std::wstring line;
        for (int column = 0; column < std::max(columns, 1); ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            // An empty cell answers 0 characters: only a list that does not answer reads nothing.
            const bool read = remote.Put(item, true) &&
                              Ask(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), remote.Item());
            line += (column > 0 ? L" | " : L"") + (read ? remote.Text() : std::wstring());
        }
        texts.push_back(line);
    }
    return texts;
}

bool SelectListRow(HWND list, int row) {
    RemoteItem remote(list);
    if (!remote.Ready()) {
        return false;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return remote.Put(item, false) &&
           Ask(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.Item()).value_or(0) != 0;
}

} // namespace qeltest
