// The exports called in-process: host strings in and out, the result word, VERSION for a driver
// registered by the test.
#include <gtest/gtest.h>

#include "payment/uVxPaymentDrivers.h"
#include "platform/HostString.h"
#include "platform/ModuleEntry.h"
#include "vxpa.h"

namespace {

class ExportsTest : public testing::Test {
 protected:
  void SetUp() override { vxmodule::Start(); }
  void TearDown() override { vxmodule::Stop(); }
};

// A host string that frees itself.
struct HostString {
  explicit HostString(std::u16string_view aText) : fValue(port::NewHostString(aText)) {}
  ~HostString() { port::FreeHostString(fValue); }
  BSTR fValue;
};

TEST_F(ExportsTest, VersionAnswersTheRegisteredClassTextAndNothingForOtherNames) {
  kPaymentDriverRegistration registration(u"VXPA_TEST_VERSION",
                                          kPaymentClass(nullptr, [] { return std::u16string(u"Version 9.9 - x"); }));
  HostString name(u"VXPA_TEST_VERSION");
  BSTR version = nullptr;
  BSTR reserved = reinterpret_cast<BSTR>(0x1234);  // whatever it held is not freed, only cleared
  EXPECT_EQ(VERSION(name.fValue, &version, &reserved), 0);
  EXPECT_EQ(reserved, nullptr);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(port::HostStringText(version), u"Version 9.9 - x");
  port::FreeHostString(version);

  for (std::u16string_view other : {u"vxpa_test_version", u"VXPA_TEST_VERSION ", u""}) {
    HostString otherName(other);
    version = reinterpret_cast<BSTR>(0x1234);
    EXPECT_EQ(VERSION(otherName.fValue, &version, &reserved), 0);
    EXPECT_EQ(version, nullptr);
  }
  EXPECT_EQ(VERSION(nullptr, &version, nullptr), 0);
  EXPECT_EQ(version, nullptr);
}

TEST_F(ExportsTest, CommandsClearTheOutputsAndAnswerZeroOrTheLowSixteenBits) {
  BSTR output = reinterpret_cast<BSTR>(0x1234);
  BSTR error = reinterpret_cast<BSTR>(0x5678);
  vxpa_result result = GETSTATUS(nullptr, &output, &error);
  EXPECT_EQ(result, 0);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(error, nullptr);  // no error text: null, not an empty string
  EXPECT_TRUE(port::HostStringText(output).starts_with(u"<DayOpened>False</DayOpened>\r\n"));
  port::FreeHostString(output);

  HostString request(u"<Request><Driver>NOT_THERE</Driver></Request>");
  result = OPEN(request.fValue, &output, &error);
  EXPECT_EQ(result, 0xFFFF);
  EXPECT_EQ(VXPA_CODE(result), -1);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(port::HostStringText(error), u"Payment Driver [NOT_THERE] not registered.");
  port::FreeHostString(output);
  port::FreeHostString(error);
}

TEST_F(ExportsTest, NullOutputAddressesAreNotWrittenThrough) {
  HostString request(u"<Request><Driver>NOT_THERE</Driver><Payment/></Request>");
  EXPECT_EQ(PAY(request.fValue, nullptr, nullptr), 0xFFFF);
  EXPECT_EQ(GETSTATUS(request.fValue, nullptr, nullptr), 0);
  EXPECT_EQ(VERSION(request.fValue, nullptr, nullptr), 0);
}

TEST_F(ExportsTest, CommandsFailWithoutAStartedModuleInsteadOfCrashing) {
  vxmodule::Stop();
  HostString request(u"<Request><Driver>NOT_THERE</Driver></Request>");
  BSTR output = nullptr;
  BSTR error = nullptr;
  EXPECT_EQ(OPEN(request.fValue, &output, &error), 0xFFFF);
  EXPECT_NE(output, nullptr);
  port::FreeHostString(output);
  port::FreeHostString(error);
}

}  // namespace
