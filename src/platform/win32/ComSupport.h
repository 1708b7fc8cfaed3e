#pragma once
// Small COM helpers for the Windows port: an owning interface pointer, an owning BSTR, and the
// calling thread's COM initialisation, balanced when the owner goes away.
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace port::com {

// "0x80004005": the form in which failures of COM calls are reported.
inline std::u16string HResultText(HRESULT aResult) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(static_cast<unsigned long>(aResult) >> shift) & 0xF];
  return FromUtf8(text);
}

// Owns one reference to an interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* aAdopted) : fPointer(aAdopted) {}
  ComPtr(ComPtr&& aOther) noexcept : fPointer(std::exchange(aOther.fPointer, nullptr)) {}
  ComPtr& operator=(ComPtr&& aOther) noexcept {
    if (this != &aOther) {
      Reset();
      fPointer = std::exchange(aOther.fPointer, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  void Reset() {
    if (fPointer) fPointer->Release();
    fPointer = nullptr;
  }
  // For out-parameters: releases what is held first.
  T** Out() {
    Reset();
    return &fPointer;
  }
  T* Get() const { return fPointer; }
  T* operator->() const { return fPointer; }
  explicit operator bool() const { return fPointer != nullptr; }

 private:
  T* fPointer = nullptr;
};

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view aText)
      : fText(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText.data()), static_cast<UINT>(aText.size()))) {
    if (!fText) throw tVX_Error(u"Out of memory for a COM string");
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(fText); }

  BSTR Get() const { return fText; }
  BSTR* Out() {
    SysFreeString(fText);
    fText = nullptr;
    return &fText;
  }
  std::u16string ToString() const {
    return fText ? std::u16string(reinterpret_cast<const char16_t*>(fText), SysStringLen(fText)) : std::u16string();
  }

 private:
  BSTR fText = nullptr;
};

// Initialises COM (single-threaded apartment) on the calling thread for the owner's lifetime.
// A thread that the host already initialised in the other mode is used as it is. The balancing
// CoUninitialize runs only on the initialising thread.
class Apartment {
 public:
  Apartment() {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(result)) {
      fBalance = true;
      fThread = GetCurrentThreadId();
    } else if (result != RPC_E_CHANGED_MODE) {
      throw tVX_Error(u"COM could not be initialised (" + HResultText(result) + u")");
    }
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  ~Apartment() {
    if (fBalance && GetCurrentThreadId() == fThread) CoUninitialize();
  }

 private:
  bool fBalance = false;
  DWORD fThread = 0;
};

}  // namespace port::com
