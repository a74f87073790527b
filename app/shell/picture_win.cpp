// Pictures of the program's resources.
#include "app/shell/picture_win.h"

#include <wincodec.h>
#include <shlwapi.h>

#include "common/win/com_win.h"
#include "common/win/result.h"

namespace app::shell {

using hg::win::com_ptr;

unique_hbitmap LoadPngResource(HINSTANCE instance, int id) {
  const HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  THROW_LAST_ERROR_IF(found == nullptr);
  const HGLOBAL loaded = ::LoadResource(instance, found);
  THROW_LAST_ERROR_IF(loaded == nullptr);
  const auto* bytes = static_cast<const BYTE*>(::LockResource(loaded));
  const DWORD size = ::SizeofResource(instance, found);
  if (!bytes || size == 0) hg::win::ThrowHResult(E_FAIL);

  com_ptr<IWICImagingFactory> factory;
  THROW_IF_FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IWICImagingFactory, factory.put_void()));
  const com_ptr<IStream> stream = com_ptr<IStream>::Attach(::SHCreateMemStream(bytes, size));
  if (!stream) hg::win::ThrowHResult(E_OUTOFMEMORY);
  com_ptr<IWICBitmapDecoder> decoder;
  THROW_IF_FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                   WICDecodeMetadataCacheOnDemand, decoder.put()));
  com_ptr<IWICBitmapFrameDecode> frame;
  THROW_IF_FAILED(decoder->GetFrame(0, frame.put()));
  com_ptr<IWICFormatConverter> converter;
  THROW_IF_FAILED(factory->CreateFormatConverter(converter.put()));
  THROW_IF_FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom));
  UINT width = 0, height = 0;
  THROW_IF_FAILED(converter->GetSize(&width, &height));

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  unique_hbitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap) hg::win::ThrowHResult(E_OUTOFMEMORY);
  THROW_IF_FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                        static_cast<BYTE*>(pixels)));
  return bitmap;
}

int PictureForDpi(int first, UINT dpi) {
  if (dpi <= 96) return first;
  if (dpi <= 144) return first + 1;
  return first + 2;
}

}  // namespace app::shell
