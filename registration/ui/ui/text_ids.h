// Numbers of the texts in the UI text library. The numbers are the interface to the per-language
// library; the wording lives only there.
#pragma once

namespace qelui::text {

// Captions and buttons.
constexpr int kCaption = 10001;          // message boxes and most screens
constexpr int kCaptionNoService = 10013; // screens shown while the service kind is "auto"
constexpr int kButtonOk = 10002;
constexpr int kButtonCancel = 10003;
constexpr int kButtonRegister = 10006;
constexpr int kButtonSkip = 10007;
constexpr int kButtonRegisterService = 10008;
constexpr int kButtonSkipService = 10009;
constexpr int kButtonRegisterAgreement = 10011;
constexpr int kButtonSkipAgreement = 10012;

// Printer list.
constexpr int kListLabel = 10101;
constexpr int kListColumnModel = 10102;
constexpr int kListColumnSerial = 10103;
constexpr int kListRefresh = 10104;
constexpr int kListAboutService = 10105;
constexpr int kListRegister = 10106;

// Messages.
constexpr int kRegistrationFailed = 11003;
constexpr int kStartedWithoutOption = 11007;
constexpr int kSetupInformation = 11008;
constexpr int kRegistrationRetry = 11009;
constexpr int kSearchFailed = 11010;
constexpr int kAgreeButton = 11103;
constexpr int kDisagreeButton = 11104;
constexpr int kProgressMessage = 11201;
constexpr int kAboutTitle = 11401; // also the system-menu item that opens the About box
constexpr int kAboutLine1 = 11402;
constexpr int kAboutLine2 = 11403;
constexpr int kAboutLine3 = 11404;
constexpr int kProxyPromptMessage = 11501;
constexpr int kProxyPromptCaption = 11505;
constexpr int kAgreementHeading = 11701;
constexpr int kAgreementText = 11702;
constexpr int kAgreementNote = 11703;

// Invitation screen content.
constexpr int kInvitationFirst = 15005;
constexpr int kInvitationLast = 15022;

// Wi-Fi recovery.
constexpr int kWifiConnectQuestion = 17001;
constexpr int kWifiFirst = 17001;
constexpr int kWifiLast = 17016;
constexpr int kWifiConfirmMessage = 17002;
constexpr int kWifiConnectFailed = 17004;
constexpr int kWifiNetworkNotSeen = 17005;
constexpr int kWifiChooseNetwork = 17006;
constexpr int kWifiPrinterLabel = 17007;
constexpr int kWifiNetworkLabel = 17008;
constexpr int kWifiManualSetup = 17009;
constexpr int kWifiKeyLabel = 17014;
constexpr int kWifiShowKey = 17015;
constexpr int kWifiNoAccessPoint = 17016;

} // namespace qelui::text
