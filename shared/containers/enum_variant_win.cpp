// IEnumVARIANT over a snapshot of a collection's values ("For Each").
#include "shared/containers/enum_variant_win.h"

#include <memory>
#include <new>

#include "shared/com/simple_object_win.h"

namespace tk {
namespace {

using Items = std::vector<hg::win::Variant>;

class EnumVariant final : public SimpleObject<IEnumVARIANT> {
 public:
  EnumVariant(std::shared_ptr<const Items> items, size_t position) noexcept
      : items_(std::move(items)), position_(position) {}

  STDMETHODIMP Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (!out || (wanted > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    for (; done < wanted && position_ < items_->size(); ++done, ++position_) {
      ::VariantInit(&out[done]);
      const HRESULT hr = ::VariantCopy(&out[done], const_cast<VARIANT*>(&(*items_)[position_].get()));
      if (FAILED(hr)) {
        for (ULONG i = 0; i < done; ++i) ::VariantClear(&out[i]);
        if (fetched) *fetched = 0;
        return hr;
      }
    }
    if (fetched) *fetched = done;
    return done == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = items_->size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT** copy) override {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) EnumVariant(items_, position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::shared_ptr<const Items> items_;
  size_t position_;
};

}  // namespace

HRESULT CreateEnumVariant(Items items, IUnknown** result) noexcept {
  if (!result) return E_POINTER;
  *result = nullptr;
  try {
    *result = new EnumVariant(std::make_shared<const Items>(std::move(items)), 0);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace tk
