// Automation values and interface pointers with owners: Variant and com_ptr.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace hg::win {

// Owns one VARIANT. Moving transfers it; copies are explicit (CopyOf) because
// VariantCopy can fail.
class Variant {
 public:
  Variant() noexcept { ::VariantInit(&value_); }
  ~Variant() { ::VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : value_(other.value_) { other.value_.vt = VT_EMPTY; }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      ::VariantClear(&value_);
      value_ = other.value_;
      other.value_.vt = VT_EMPTY;
    }
    return *this;
  }

  // A deep copy that follows by-reference values; objects are shared (AddRef).
  static Variant CopyOf(const VARIANT& source);

  const VARIANT& get() const noexcept { return value_; }
  VARIANT* put() noexcept {
    ::VariantClear(&value_);
    return &value_;
  }
  VARTYPE type() const noexcept { return value_.vt; }
  // Hands the value to a caller-owned VARIANT (an [out, retval] slot).
  void Detach(VARIANT* out) noexcept {
    *out = value_;
    value_.vt = VT_EMPTY;
  }

 private:
  VARIANT value_;
};

// The value behind any number of VT_BYREF|VT_VARIANT indirections.
const VARIANT& Deref(const VARIANT& value) noexcept;

// An optional parameter the caller left out.
bool IsMissing(const VARIANT& value) noexcept;

// The value that stands for a left-out optional parameter in a call.
inline VARIANT MissingArgument() noexcept {
  VARIANT value;
  value.vt = VT_ERROR;
  value.scode = DISP_E_PARAMNOTFOUND;
  return value;
}

// Reference-counted interface pointer; copying adds a reference.
template <typename T>
class com_ptr {
 public:
  com_ptr() noexcept = default;
  com_ptr(std::nullptr_t) noexcept {}
  // Adopts a reference the caller already owns.
  static com_ptr Attach(T* raw) noexcept {
    com_ptr p;
    p.ptr_ = raw;
    return p;
  }
  explicit com_ptr(T* raw) noexcept : ptr_(raw) {
    if (ptr_) ptr_->AddRef();
  }
  com_ptr(const com_ptr& other) noexcept : com_ptr(other.ptr_) {}
  com_ptr(com_ptr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  com_ptr& operator=(com_ptr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~com_ptr() { reset(); }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  void reset() noexcept {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }
  T* detach() noexcept { return std::exchange(ptr_, nullptr); }
  T** put() noexcept {
    reset();
    return &ptr_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  template <typename U>
  com_ptr<U> query(REFIID iid) const noexcept {
    com_ptr<U> result;
    if (ptr_) ptr_->QueryInterface(iid, result.put_void());
    return result;
  }

 private:
  T* ptr_ = nullptr;
};

}  // namespace hg::win
