// Identifiers of the stub's resources: icon, bitmaps, and the controls of the
// wizard's page templates and the crash dialog. Included by the resource
// scripts and by the portable code that describes the templates.
#pragma once

#define IDI_APPLICATION_ICON 1

// Bitmaps: the pages' side and banner pictures and the button pictures.
#define IDB_SIDE_PICTURE 2
#define IDB_BANNER_PICTURE 3
#define IDB_BUTTON_NEXT 4
#define IDB_BUTTON_CANCEL 5
#define IDB_BUTTON_BROWSE 6
#define IDB_BUTTON_NO_TO_ALL 7
#define IDB_BUTTON_YES_TO_ALL 8

// The crash-report values the builder writes in (payload/vendor_record.h).
#define IDR_CRASH_VENDOR 9

// Controls shared by the page templates.
#define IDC_NEXT 1001
#define IDC_CANCEL 1003
#define IDC_DOCUMENT 1005
#define IDC_PROGRESS_BAR 1007
#define IDC_PAGE_TEXT 1009
#define IDC_STATUS_LINE 1011
#define IDC_BROWSE 1013
#define IDC_FOLDER_EDIT 1015
#define IDC_LANGUAGE_LIST 1017
#define IDC_PASSWORD_EDIT 1019
#define IDC_SIDE_PICTURE 1021
#define IDC_OPEN_DOCUMENT 1023
#define IDC_RUN_PROGRAM 1025
#define IDC_VIEW_LOG 1027
#define IDC_OPEN_DOCUMENT2 1029
#define IDC_BANNER_PICTURE 1032
#define IDC_BANNER_LINE1 1034
#define IDC_BANNER_LINE2 1035
#define IDC_SPACE_REQUIRED 1036
#define IDC_SPACE_AVAILABLE 1037
#define IDC_PASSWORD_LABEL 1039
#define IDC_GREETING_LINK 1040
#define IDC_WHITE_PANEL 1042

// Commands a page posts to itself.
#define IDM_RECOMPUTE_SPACE 1038
#define IDM_COME_FORWARD 1043

// Controls of the crash dialog.
#define IDC_CRASH_SEPARATOR 66
#define IDC_CRASH_INFORM 2700
#define IDC_CRASH_EXIT 2701
#define IDC_CRASH_APOLOGY 2702
#define IDC_CRASH_REPORT 2703
#define IDC_CRASH_COPY 2704
#define IDC_CRASH_EMAIL 2705
#define IDC_CRASH_EMAIL_LABEL 2706
#define IDC_CRASH_COMMENTS 2707
#define IDC_CRASH_COMMENTS_LABEL 2708
