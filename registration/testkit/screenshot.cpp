#include "testkit/screenshot.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "win/module_path.h"
#include "win/registry_view.h"
#include "win/unique_any.h"

namespace qeltest {

namespace {

void release_screen_dc(HDC dc) noexcept {
    ::ReleaseDC(nullptr, dc);
}
void delete_dc(HDC dc) noexcept {
    ::DeleteDC(dc);
}
using unique_screen_dc = qelwin::unique_any<HDC, release_screen_dc>;
using unique_memory_dc = qelwin::unique_any<HDC, delete_dc>;

#pragma pack(push, 1)
struct BmpFileHeader {
    std::uint16_t type = 0x4D42; // "BM"
    std::uint32_t size = 0;
    std::uint16_t reserved1 = 0;
    std::uint16_t reserved2 = 0;
    std::uint32_t offset = 0;
};
#pragma pack(pop)

std::wstring FolderFromEnvironment() {
    const DWORD size = ::GetEnvironmentVariableW(L"QEL_TEST_ARTIFACTS", nullptr, 0);
    if (size == 0) {
        return qelwin::JoinPath(qelwin::ThisModuleFolder(), L"test-artifacts");
    }
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"QEL_TEST_ARTIFACTS", folder.data(), size);
    folder.resize(length);
    return folder;
}

} // namespace

bool SaveScreenRect(const RECT& rect, const std::wstring& path) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    const unique_screen_dc screen(::GetDC(nullptr));
    if (!screen) {
        return false;
    }
    const unique_memory_dc memory(::CreateCompatibleDC(screen.get()));
    const qelwin::unique_hgdiobj bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) {
        return false;
    }
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    const BOOL copied = ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left,
                                 rect.top, SRCCOPY | CAPTUREBLT);
    ::SelectObject(memory.get(), previous);
    if (!copied) {
        return false;
    }

    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height; // bottom-up, as BMP files store rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> pixels(stride * static_cast<std::size_t>(height));
    if (::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height),
                    pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0) {
        return false;
    }

    BmpFileHeader file;
    file.offset = sizeof(BmpFileHeader) + sizeof(BITMAPINFOHEADER);
    file.size = static_cast<std::uint32_t>(file.offset + pixels.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(reinterpret_cast<const char*>(pixels.data()),
              static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

bool SaveWindowScreenshot(HWND window, const std::wstring& path) {
    // Above every other window while the picture is taken: tests of other programs show their
    // windows on the same display, often at the same centred place.
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
    ::SetForegroundWindow(window);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Give the owning program a moment to paint what it was asked to.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RECT rect{};
    const bool saved = ::GetWindowRect(window, &rect) && SaveScreenRect(rect, path);
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
    return saved;
}

std::wstring ArtifactPath(const std::wstring& fileName) {
    const std::wstring folder = FolderFromEnvironment();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return qelwin::JoinPath(folder, fileName);
}

} // namespace qeltest
