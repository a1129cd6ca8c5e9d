// Resource numbers of QelRegistration.exe. The numbers are fixed: code and the screens' dialog
// templates refer to them.
#pragma once

#define IDI_APP_ICON 107
// Picture of the printer list; the program ships none, so the list's picture stays empty.
#define IDB_LIST_PICTURE 134

// Dialog templates.
#define IDD_ABOUT 139
#define IDD_SEARCH_PROGRESS 143
#define IDD_AGREEMENT 144
#define IDD_STATUS_PROGRESS 145

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
// The separator line above the buttons; its bitmap is shared with the Wi-Fi dialogs.
#define IDB_SEPARATOR 142
#define IDC_SEPARATOR 1029
