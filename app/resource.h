// Resource identifiers of Hedgerow.exe.
#pragma once

#define IDI_HEDGEROW 1

// String table: the product name, also the caption of the main window and
// the title of message boxes that give none.
#define IDS_PRODUCT_NAME 100

// The input box.
#define IDD_INPUT_BOX 200
#define IDC_INPUT_PROMPT 201
#define IDC_INPUT_TEXT 202
