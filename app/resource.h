// Resource identifiers of Hedgerow.exe.
#pragma once

#define IDI_HEDGEROW 1

// String table: the product name, also the caption of the main window and
// the title of message boxes that give none.
#define IDS_PRODUCT_NAME 100
