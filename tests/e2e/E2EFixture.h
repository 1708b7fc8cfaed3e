#pragma once
// The base of the end-to-end tests against the terminal simulators: pending scenarios dropped,
// the request log marked, and a log id of the test's own so that its device log is its own file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTerminal.h"
#include "Till.h"

namespace vxtest {

class E2ETest : public ::testing::Test {
 protected:
  explicit E2ETest(SimScheme aScheme = SimScheme::Http) : fSim(aScheme) {}

  void SetUp() override {
    fSim.Arrange(Json::array());
    fMark = fSim.LastSeq();
  }

  // The settings of a till on this test's simulator, with a log id made from the test's name.
  TillSettings Settings(std::u16string_view aSuffix = u"") const {
    TillSettings settings;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    for (char& c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    settings.LogId = Widen("e2e_" + name.substr(0, 40)) + std::u16string(aSuffix);
    return settings;
  }

  // The /nexo requests the simulator received since SetUp.
  std::vector<Json> Requests() const { return fSim.RequestsSince(fMark); }
  // The last of them (fails the test when there is none).
  Json LastRequest() const {
    std::vector<Json> requests = Requests();
    if (requests.empty()) {
      ADD_FAILURE() << "the simulator received no request";
      return Json::object();
    }
    return requests.back();
  }

  SimTerminal fSim;
  int64_t fMark = 0;
};

}  // namespace vxtest
