#include "support/FakeOposControl.h"

namespace vxtest {

FakeOposControl::FakeOposControl(const std::string&) {
  fWhy = "the fiscal printer control is a COM object: Windows only";
}
FakeOposControl::~FakeOposControl() = default;
std::string FakeOposControl::Calls() const { return ""; }
void FakeOposControl::SetResult(const std::string&, int32_t) {}
void FakeOposControl::SetValue(const std::string&, const std::string&) {}

}  // namespace vxtest
