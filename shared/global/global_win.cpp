// CGlobal: the library's text encoders and system information as a COM class.
#include "shared/global/global_win.h"

#include <objbase.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/com/startup_win.h"
#include "shared/containers/collection_win.h"
#include "shared/files/file_exist_win.h"
#include "shared/global/system_info.h"
#include "shared/global/system_info_win.h"
#include "shared/global/text_encoders.h"
#include "shared/system_message.h"
#include "tkShared.h"

namespace tk {

using hg::win::FromBstr;
using hg::win::TextVariant;
using hg::win::Variant;
using hg::win::VariantBool;

namespace {

void ReturnText(std::string_view text, BSTR* result) {
  *Checked(result) = hg::win::MakeBstr(text).release();
}

std::u16string Utf16Of(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text))
              : std::u16string();
}

// The one-dimensional array a variant holds (directly or by reference); null
// for an unallocated array.
SAFEARRAY* ArrayOf(const VARIANT& value) {
  if (!hg::win::HoldsArray(value)) {
    hg::win::ThrowHResult(DISP_E_TYPEMISMATCH, "An array is required.");
  }
  SAFEARRAY* array = hg::win::ArrayOf(value);
  if (array && ::SafeArrayGetDim(array) != 1) {
    hg::win::ThrowHResult(E_INVALIDARG, "A one-dimensional array is required.");
  }
  return array;
}

// Each element converted as an automation client would convert it.
template <typename Convert>
void ForEachConverted(const VARIANT& value, VARTYPE to, USHORT flags, Convert convert) {
  for (const Variant& element : hg::win::VariantsOf(ArrayOf(value))) {
    Variant converted;
    THROW_IF_FAILED(::VariantChangeTypeEx(converted.put(), const_cast<VARIANT*>(&element.get()),
                                          LOCALE_USER_DEFAULT, flags, to));
    convert(converted.get());
  }
}

// The bytes of a byte array directly; of any other array element by element.
std::vector<std::uint8_t> BytesOf(const VARIANT& value) {
  SAFEARRAY* array = ArrayOf(value);
  if (hg::win::ElementTypeOf(array) == VT_UI1) {
    const std::string bytes = hg::win::BytesOf(array);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  }
  std::vector<std::uint8_t> bytes;
  ForEachConverted(value, VT_UI1, 0, [&](const VARIANT& v) { bytes.push_back(v.bVal); });
  return bytes;
}

std::vector<std::int32_t> LongsOf(const VARIANT& value) {
  std::vector<std::int32_t> longs;
  ForEachConverted(value, VT_I4, 0, [&](const VARIANT& v) { longs.push_back(v.lVal); });
  return longs;
}

std::vector<std::string> TextsOf(const VARIANT& value) {
  std::vector<std::string> texts;
  ForEachConverted(value, VT_BSTR, VARIANT_ALPHABOOL,
                   [&](const VARIANT& v) { texts.push_back(FromBstr(v.bstrVal)); });
  return texts;
}

// A new array indexed from 1 holding the values.
template <typename T>
SAFEARRAY* MakeArray(VARTYPE type, const std::vector<T>& values) {
  hg::win::unique_safearray array = hg::win::NewVector(type, values.size(), 1);
  if (!values.empty()) {
    const hg::win::ArrayAccess access(array.get());
    std::memcpy(access.data<T>(), values.data(), values.size() * sizeof(T));
  }
  return array.release();
}

// Writes an optional by-reference output: into a script variable (a
// reference to a variant), through a typed reference, or into the variant.
void SetOutput(VARIANT* out, Variant value) {
  if (!out || hg::win::IsMissing(*out)) return;
  VARIANT* target = hg::win::OutTarget(out);
  if (!(target->vt & VT_BYREF)) {
    THROW_IF_FAILED(::VariantClear(target));
    value.Detach(target);
    return;
  }
  const VARTYPE type = target->vt & ~VT_BYREF;
  Variant converted;
  THROW_IF_FAILED(::VariantChangeType(converted.put(), const_cast<VARIANT*>(&value.get()), 0,
                                      type));
  switch (type) {
    case VT_I4:
      *target->plVal = converted.get().lVal;
      return;
    case VT_I2:
      *target->piVal = converted.get().iVal;
      return;
    case VT_BSTR: {
      VARIANT taken;
      converted.Detach(&taken);
      ::SysFreeString(*target->pbstrVal);
      *target->pbstrVal = taken.bstrVal;
      return;
    }
    default:
      hg::win::ThrowHResult(DISP_E_TYPEMISMATCH, "Unsupported output type.");
  }
}

Variant NumberValue(std::uint32_t number) {
  Variant v;
  VARIANT* slot = v.put();
  slot->vt = VT_I4;
  slot->lVal = static_cast<LONG>(number);
  return v;
}

// The version of the last file of a list when every file of it exists;
// failures give the empty text.
std::string VersionOfComponent(std::initializer_list<const char*> files) noexcept {
  try {
    std::string last;
    for (const char* file : files) {
      last = ExpandEnvironment(file);
      if (!IsFileExist(hg::win::Widen(last))) return {};
    }
    return FileVersion(last);
  } catch (...) {
    return {};
  }
}

// True when v holds no array, an unallocated one, or one whose first
// dimension has its upper bound below its lower bound.
bool IsEmptyArray(const VARIANT& value) noexcept {
  try {
    return hg::win::BoundsOf(hg::win::ArrayOf(value)).count() == 0;
  } catch (const hg::win::HResultError&) {
    return true;
  }
}

class Global final : public DispatchObject<Global, _CGlobal> {
 public:
  static constexpr wchar_t kClassName[] = L"CGlobal";

  STDMETHODIMP ExpandEnvironmentStrings(BSTR s, BSTR* result) override {
    return Trap(
        [&] { ReturnText(ExpandEnvironment(hg::win::NameFromBstr(s, "s")), result); });
  }

  STDMETHODIMP SQLEncode(BSTR pStr, BSTR* result) override {
    return Trap([&] { ReturnText(tk::SQLEncode(FromBstr(pStr)), result); });
  }

  STDMETHODIMP SQLDecode(BSTR pStr, BSTR* result) override {
    return Trap([&] { ReturnText(tk::SQLDecode(FromBstr(pStr)), result); });
  }

  STDMETHODIMP newGuid(BSTR* result) override {
    return Trap([&] {
      GUID guid;
      if (FAILED(::CoCreateGuid(&guid))) return ReturnText("", result);
      std::array<std::uint8_t, 8> last;
      std::memcpy(last.data(), guid.Data4, last.size());
      ReturnText(GuidText(guid.Data1, guid.Data2, guid.Data3, last), result);
    });
  }

  STDMETHODIMP FormatString(BSTR str, VARIANT params, BSTR* result) override {
    return Trap([&] { ReturnText(tk::FormatString(FromBstr(str), TextsOf(params)), result); });
  }

  STDMETHODIMP LocalSystemName(BSTR* result) override {
    return Trap([&] { ReturnText(ComputerName(), result); });
  }

  STDMETHODIMP GetTempPath(BSTR* result) override {
    return Trap([&] { ReturnText(TempPath(), result); });
  }

  STDMETHODIMP GetTempFile(BSTR prefix, BSTR* result) override {
    return Trap(
        [&] { ReturnText(CreateTempFile(hg::win::NameFromBstr(prefix, "Prefix")), result); });
  }

  STDMETHODIMP WinDir(BSTR* result) override {
    return Trap([&] { ReturnText(WindowsFolder(), result); });
  }

  STDMETHODIMP IsConnected(VARIANT_BOOL* result) override {
    return Trap([&] { *Checked(result) = VariantBool(IsDialUpConnected()); });
  }

  STDMETHODIMP WindowsVersion(VARIANT* major, VARIANT* minor, VARIANT* build,
                              VARIANT* platformId, VARIANT* servicePack, BSTR* result) override {
    return Trap([&] {
      const WindowsVersionInfo version = QueryWindowsVersion();
      SetOutput(major, NumberValue(version.major));
      SetOutput(minor, NumberValue(version.minor));
      SetOutput(build, NumberValue(version.build));
      SetOutput(platformId, NumberValue(version.platformId));
      SetOutput(servicePack, TextVariant(version.servicePack));
      ReturnText(WindowsVersionText(version.platformId, version.major, version.minor,
                                    version.build, version.servicePack),
                 result);
    });
  }

  STDMETHODIMP GetCPUType(BSTR* result) override {
    return Trap([&] { ReturnText(CpuType(), result); });
  }

  STDMETHODIMP FileVersion(BSTR fileName, BSTR* result) override {
    return Trap([&] {
      ReturnText(tk::FileVersion(hg::win::NameFromBstr(fileName, "FileName")), result);
    });
  }

  STDMETHODIMP FileVersionInfo(BSTR fileName, _CCollection** result) override {
    return Trap([&] {
      Checked(result);
      hg::win::com_ptr<_CCollection> fields;
      THROW_IF_FAILED(CreateCollection(IID__CCollection, fields.put_void()));
      for (const auto& [name, value] :
           FileVersionStrings(hg::win::NameFromBstr(fileName, "FileName"))) {
        const VARIANT missing = hg::win::MissingArgument();
        THROW_IF_FAILED(
            fields->Add(TextVariant(value).get(), TextVariant(name).get(), missing, missing));
      }
      *result = fields.detach();
    });
  }

  STDMETHODIMP MDACJetVersion(VARIANT* mdacVersion, VARIANT* jetVersion) override {
    return Trap([&] {
      SetOutput(mdacVersion, TextVariant(""));
      SetOutput(jetVersion, TextVariant(""));
      SetOutput(mdacVersion, TextVariant(VersionOfComponent(
                                 {"%programfiles%\\Common Files\\System\\ado\\msado15.dll"})));
      SetOutput(jetVersion,
                TextVariant(VersionOfComponent(
                    {"%programfiles%\\Common Files\\Microsoft Shared\\DAO\\dao360.dll",
                     "%windir%\\system32\\msjet40.dll"})));
    });
  }

  STDMETHODIMP IsDAOAvailable(VARIANT_BOOL* result) override {
    return Trap([&] { *Checked(result) = VariantBool(IsDaoAvailable()); });
  }

  STDMETHODIMP IsWindows64bit(VARIANT_BOOL* result) override {
    return Trap(
        [&] { *Checked(result) = VariantBool(StartLibrary().isWindows64); });
  }

  STDMETHODIMP Base64Encode(BSTR inData, BSTR* result) override {
    return Trap([&] {
      const std::wstring_view text(inData ? inData : L"", inData ? ::SysStringLen(inData) : 0);
      ReturnText(tk::Base64Encode(hg::win::WideToAnsi(text)), result);
    });
  }

  STDMETHODIMP URLEncode(BSTR pstrSegment, BSTR* result) override {
    return Trap([&] { ReturnText(tk::URLEncode(Utf16Of(pstrSegment)), result); });
  }

  STDMETHODIMP DoEventsA() override {
    return Trap([&] { PumpOneMessage(); });
  }

  STDMETHODIMP ByteArrayToLongArray(VARIANT aByte, SAFEARRAY** result) override {
    return Trap([&] {
      *Checked(result) = MakeArray(VT_I4, tk::ByteArrayToLongArray(BytesOf(aByte)));
    });
  }

  STDMETHODIMP LongArrayToByteArray(VARIANT aLong, SAFEARRAY** result) override {
    return Trap([&] {
      *Checked(result) = MakeArray(VT_UI1, tk::LongArrayToByteArray(LongsOf(aLong)));
    });
  }

  STDMETHODIMP Base64EncodeB(VARIANT inData, BSTR* result) override {
    return Trap([&] {
      const std::vector<std::uint8_t> bytes = BytesOf(inData);
      ReturnText(tk::Base64EncodeB(std::string(bytes.begin(), bytes.end())), result);
    });
  }

  STDMETHODIMP Base64DecodeB(BSTR strIn, SAFEARRAY** result) override {
    return Trap([&] { *Checked(result) = MakeArray(VT_UI1, tk::Base64DecodeB(FromBstr(strIn))); });
  }

  STDMETHODIMP XMLEncode(BSTR pStr, BSTR* result) override {
    return Trap([&] { ReturnText(tk::XMLEncode(FromBstr(pStr)), result); });
  }

  STDMETHODIMP XMLDecode(BSTR pStr, BSTR* result) override {
    return Trap([&] { ReturnText(tk::XMLDecode(FromBstr(pStr)), result); });
  }

  STDMETHODIMP IsArrayEmpty(VARIANT v, VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    *result = VariantBool(IsEmptyArray(v));
    return S_OK;
  }

  STDMETHODIMP FormatMessageFromSystem(LONG errNum, BSTR* result) override {
    return Trap([&] { ReturnText(SystemMessageText(static_cast<DWORD>(errNum)), result); });
  }

  STDMETHODIMP LocalApplicationDataFolder(BSTR* result) override {
    return Trap([&] { ReturnText(ShellFolder(CSIDL_LOCAL_APPDATA), result); });
  }

  STDMETHODIMP SHGetFolderPath(enCSIDL csidl, BSTR* result) override {
    return Trap([&] { ReturnText(ShellFolder(static_cast<int>(csidl)), result); });
  }
};

}  // namespace

HRESULT CreateGlobal(REFIID iid, void** object) noexcept {
  return CreateInstance<Global>(iid, object);
}

}  // namespace tk
