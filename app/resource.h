// Resource identifiers of Hedgerow.exe.
#pragma once

#define IDI_HEDGEROW 1

// String table: the product name, also the caption of the main window and
// the title of message boxes that give none.
#define IDS_PRODUCT_NAME 100

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
