// Resource numbers of QelRegistration.exe. The numbers are fixed: code and the screens' dialog
// templates refer to them.
#pragma once

#define IDI_APP_ICON 107

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

// Printer list.
#define IDD_PRINTER_LIST 140
#define IDC_LIST_LABEL 1000
#define IDC_LIST_REFRESH 1024
#define IDC_LIST_ABOUT_SERVICE 1025
#define IDC_LIST_REGISTER 1026
#define IDC_PRINTER_LIST 1027
