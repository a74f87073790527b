// The program's version: the version resource and the start-up trace use it.
// Plain macros, so that the resource compiler reads this file too.
#pragma once

#define HG_VERSION_MAJOR 4
#define HG_VERSION_MINOR 3
#define HG_VERSION_REVISION 201
