// Resource numbers of QelRegistration.exe. The numbers are fixed: code and the screens' dialog
// templates refer to them.
#pragma once

#define IDI_APP_ICON 107
// Picture of the printer list; the program ships none, so the list's picture stays empty.
#define IDB_LIST_PICTURE 134
