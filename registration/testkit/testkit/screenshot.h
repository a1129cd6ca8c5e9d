// Pictures of what a program shows, saved as BMP files for people to look at.
#pragma once

#include <windows.h>

#include <string>

namespace qeltest {

// Copies that rectangle of the screen into a 24-bit BMP file.
bool SaveScreenRect(const RECT& rect, const std::wstring& path);

// The window as it shows on the screen (brought to the front first).
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

// Where a test leaves a file for people to look at: $QEL_TEST_ARTIFACTS, else the folder
// test-artifacts beside the test program. The folder is made when missing.
std::wstring ArtifactPath(const std::wstring& fileName);

} // namespace qeltest
