// The application messages of the hidden window: each starts the next screen or flow.
#pragma once

#include <windows.h>

namespace qelapp {

inline constexpr UINT kMsgStart = WM_APP + 1;           // posted once when the window exists
inline constexpr UINT kMsgStartMessage = WM_APP + 2;    // wParam 1: started without options
inline constexpr UINT kMsgPrinterList = WM_APP + 3;     // the printer list screen
inline constexpr UINT kMsgInstallerFlow = WM_APP + 4;   // started by the installer
inline constexpr UINT kMsgAgreement = WM_APP + 5;       // the agreement dialog on its own
inline constexpr UINT kMsgUnused = WM_APP + 6;          // not handled
inline constexpr UINT kMsgServiceInfoPage = WM_APP + 7; // launcher "-ADS"
inline constexpr UINT kMsgLoginPage = WM_APP + 8;       // launcher "-LOGIN"
inline constexpr UINT kMsgLauncherFlow = WM_APP + 9;    // started by the launcher

// wParam of kMsgStartMessage.
inline constexpr WPARAM kStartedWithoutOption = 1;
inline constexpr WPARAM kStartedForSetup = 0;

} // namespace qelapp
