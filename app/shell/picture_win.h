// Pictures of the program's resources: a PNG drawn for each scale, decoded
// into a bitmap the window system draws.
#pragma once

#include <windows.h>

#include "common/win/unique_any.h"

namespace app::shell {

using unique_hbitmap = hg::win::unique_any<hg::win::NullTraits<HBITMAP, hg::win::DeleteGdiObject>>;

// The PNG resource (type RCDATA) decoded as a 32-bit top-down bitmap with
// premultiplied alpha; throws HResultError on failure.
unique_hbitmap LoadPngResource(HINSTANCE instance, int id);

// Of the pictures drawn for 96, 144 and 192 dots per inch (ids first,
// first + 1, first + 2), the one for `dpi`: the smallest at least as large,
// else the largest.
int PictureForDpi(int first, UINT dpi);

}  // namespace app::shell
