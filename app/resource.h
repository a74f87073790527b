// Resource identifiers of Hedgerow.exe.
#pragma once

#define IDI_HEDGEROW 1
#define IDI_LOGO 2

// The splash picture drawn for 96, 144 and 192 dots per inch (PNG, RCDATA).
#define IDP_SPLASH_96 20
#define IDP_SPLASH_144 21
#define IDP_SPLASH_192 22

// The icon of every item of the site lists.
#define IDI_SITE 3

// String table: the product name, also the caption of the main window and
// the title of message boxes that give none.
#define IDS_PRODUCT_NAME 100

// Start-up's stops, and the help page's description.
#define IDS_NO_SYSTEM_FOLDER 101
#define IDS_UNKNOWN_WINDOWS_VERSION 102
#define IDS_ACCESS_DENIED 103
#define IDS_HELP_DESCRIPTION 112

// Backup and restore messages; 109 and 110 take the chosen file's path as %1.
#define IDS_BACKUP_COMPLETE 108
#define IDS_INVALID_BACKUP_FILE 109
#define IDS_CANNOT_RESTORE 110
#define IDS_CANNOT_BACKUP 111
#define IDS_BACKUP_RESTORED 117

// The site lists: the prompt and preset of the input box, the question
// asked before the example site is blocked, the confirmations (%1: the
// sites), the buttons' tooltip, the lists' column header.
#define IDS_TYPE_SITE_PROMPT 104
#define IDS_EXAMPLE_SITE 105
#define IDS_EXAMPLE_SITE_QUESTION 106
#define IDS_CONFIRM_DELETE_UNBLOCKED 107
#define IDS_CONFIRM_DELETE_BLOCKED 115
#define IDS_BLOCK_TOOLTIP 140
#define IDS_NAME_COLUMN 141

// Failure texts: the failure's description follows each directly. A failure
// the program raises itself carries 0x80040000 plus the id as its number.
#define IDS_CANNOT_APPLY_BLOCKING 1665
#define IDS_CANNOT_ADD_SITE 1666
#define IDS_CANNOT_BLOCK_SITES 1667
#define IDS_CANNOT_UNBLOCK_SITES 1668
#define IDS_CANNOT_BLOCK_LIST 1669
#define IDS_CANNOT_DELETE_SITES 1670
#define IDS_CANNOT_APPLY_TO 1671

// The input box.
#define IDD_INPUT_BOX 200
#define IDC_INPUT_PROMPT 201
#define IDC_INPUT_TEXT 202

// The main window's menu.
#define IDM_MAIN 300
#define IDM_REFRESH 301
#define IDM_EXIT 302
#define IDM_BLOCK_LIST 303
#define IDM_BACKUP 304
#define IDM_RESTORE 305
#define IDM_PASSWORD_PROTECTION 306
#define IDM_VISIT_HOMEPAGE 307
#define IDM_ABOUT 308

// The About box.
#define IDD_ABOUT 400
#define IDC_ABOUT_LOGO 401
#define IDC_ABOUT_NAME 402
#define IDC_ABOUT_SEPARATOR 403
#define IDC_ABOUT_VISIT 404

// The site list page and its context menus.
#define IDD_SITE_LISTS 500
#define IDC_UNBLOCKED_LABEL 501
#define IDC_UNBLOCKED 502
#define IDC_REMOVE_UNBLOCKED 503
#define IDC_BLOCK 504
#define IDC_UNBLOCK 505
#define IDC_BLOCKED_LABEL 506
#define IDC_BLOCKED 507
#define IDC_ADD_BLOCKED 508
#define IDM_SITE_CONTEXT 520
#define IDM_BLOCK 521
#define IDM_DELETE_UNBLOCKED 522
#define IDM_UNBLOCK 523
#define IDM_DELETE_BLOCKED 524

// The bulk block dialog.
#define IDD_BLOCK_LIST 600
#define IDC_BLOCK_LIST_IMAGE 601
#define IDC_BLOCK_LIST_INTRO 602
#define IDC_BLOCK_LIST_LABEL 603
#define IDC_BLOCK_LIST_TEXT 604

// The login at start-up.
#define IDD_PWD_LOGIN 700
#define IDC_LOGIN_IMAGE 701
#define IDC_LOGIN_PROMPT 702
#define IDC_LOGIN_PASSWORD_LABEL 703
#define IDC_LOGIN_PASSWORD 704
#define IDC_LOGIN_CHANGE 705

// The protection settings dialog.
#define IDD_PWD_MANAGER 720
#define IDC_PWD_IMAGE 721
#define IDC_PWD_PROMPT 722
#define IDC_PWD_ENABLE 723
#define IDC_PWD_REMOVE 724
#define IDC_PWD_LABEL 725
#define IDC_PWD_TEXT 726
#define IDC_PWD_CONFIRM_LABEL 727
#define IDC_PWD_CONFIRM 728
