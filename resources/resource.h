// Resource numbers of QelRegistration.exe. The numbers are fixed: code and the screens' dialog
// templates refer to them.
#pragma once

#define IDI_APP_ICON 107
// The line above the buttons of the Wi-Fi dialogs and the invitation screen.
#define IDB_SEPARATOR 142

// Dialog templates.
#define IDD_ABOUT 139
#define IDD_SEARCH_PROGRESS 143
#define IDD_AGREEMENT 144
#define IDD_STATUS_PROGRESS 145
#define IDD_WIFI_CONFIRM 147
#define IDD_SSID 148
#define IDD_CONNECT_FAILED 149

// Progress dialogs.
#define IDC_SEARCH_PROGRESS_BAR 1028
#define IDC_STATUS_PROGRESS_BAR 1035
#define IDC_PROGRESS_MESSAGE 1036

// Agreement dialog.
#define IDC_AGREEMENT_HEADING 1032
#define IDC_AGREE 1033
#define IDC_DISAGREE 1034
#define IDC_AGREEMENT_TEXT 1040
#define IDC_AGREEMENT_NOTE 1041

// About dialog.
#define IDC_ABOUT_LINE2 1030
#define IDC_ABOUT_LINE1 1038
#define IDC_ABOUT_LINE3 1039

// Printer list.
#define IDD_PRINTER_LIST 140
#define IDC_LIST_LABEL 1000
#define IDC_LIST_REFRESH 1024
#define IDC_LIST_ABOUT_SERVICE 1025
#define IDC_LIST_REGISTER 1026
#define IDC_PRINTER_LIST 1027

// Wi-Fi recovery dialogs (147 confirmation, 148 network name and key, 149 connect failed).
#define IDC_SEPARATOR 1029
#define IDC_WIFI_UPPER_LABEL 1044
#define IDC_WIFI_NETWORK_LABEL 1045
#define IDC_WIFI_MESSAGE 1046
#define IDC_WIFI_KEY_LABEL 1047
#define IDC_WIFI_PRINTER 1048
#define IDC_WIFI_NETWORK 1049
#define IDC_WIFI_OK 1050
#define IDC_WIFI_CANCEL 1051
#define IDC_WIFI_MANUAL 1052
#define IDC_SSID_NAME 1053
#define IDC_SSID_KEY 1054
#define IDC_SSID_SHOW_KEY 1056
#define IDC_SSID_OK 1057
#define IDC_SSID_CANCEL 1058

// Invitation screen (dialog 129) and its bitmaps.
#define IDD_INVITATION 129
#define IDB_INVITATION_BANNER 141
#define IDB_INVITATION_CARD 146
#define IDC_INVITATION_TITLE1 1000
#define IDC_INVITATION_TITLE2 1001
#define IDC_INVITATION_IMAGE2 1010
#define IDC_INVITATION_BODY1 1011
#define IDC_INVITATION_BODY2 1013
#define IDC_INVITATION_REGISTER 1021
#define IDC_INVITATION_IMAGE1 1022
#define IDC_INVITATION_SKIP 1023
#define IDC_INVITATION_BANNER 1024
#define IDC_INVITATION_PICTURE 1042
#define IDC_INVITATION_IMAGE_BUTTON 1043
