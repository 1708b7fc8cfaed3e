#pragma once
// The stand-in fiscal printer control (support/win32/opos), registered under the control's
// programmatic id (for the machine where the process may, else for the user) while this object
// lives, so that the module's COM adapter creates it. It records each method call and property write as a line "Name(arg,...)" or
// "Name=value" (currency arguments as "cy:" and the value times 10000, by-reference arguments
// with "&"). Only Windows has COM: elsewhere Ok() is false.
#include <cstdint>
#include <string>

namespace vxtest {

class FakeOposControl {
 public:
  explicit FakeOposControl(const std::string& aLibraryPath);
  ~FakeOposControl();
  FakeOposControl(const FakeOposControl&) = delete;
  FakeOposControl& operator=(const FakeOposControl&) = delete;

  bool Ok() const { return fOk; }
  const std::string& Why() const { return fWhy; }

  // Every call so far, one per line.
  std::string Calls() const;
  // The result code aMethod answers from now on.
  void SetResult(const std::string& aMethod, int32_t aCode);
  // A property's value, or an out-value: "GetDate.out", "GetData.out", "DirectIO.data",
  // "DirectIO.string". Booleans as "true" or "false".
  void SetValue(const std::string& aName, const std::string& aValue);

 private:
  bool fOk = false;
  std::string fWhy;
  void* fLibrary = nullptr;
};

}  // namespace vxtest
