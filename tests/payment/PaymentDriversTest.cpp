// The driver registry: exact-name lookup and registration for the lifetime of a registration.
#include <gtest/gtest.h>

#include "payment/uVxPaymentDrivers.h"

namespace {

kPaymentClass VersionOnly(std::u16string aVersion) {
  return kPaymentClass(nullptr, [aVersion] { return aVersion; });
}

TEST(PaymentDriversTest, LooksNamesUpExactlyAndForgetsThemWithTheirRegistration) {
  {
    kPaymentDriverRegistration registration(u"TEST_DRIVER_A", VersionOnly(u"A1"));
    EXPECT_TRUE(registration.Registered());
    const kPaymentClass* found = FindPaymentDriver(u"TEST_DRIVER_A");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetDriverVersion(), u"A1");
    EXPECT_EQ(FindPaymentDriver(u"test_driver_a"), nullptr);
    EXPECT_EQ(FindPaymentDriver(u"TEST_DRIVER_A "), nullptr);
    EXPECT_EQ(FindPaymentDriver(u"TEST_DRIVER"), nullptr);
    EXPECT_EQ(PaymentDrivers().count(u"TEST_DRIVER_A"), 1u);
  }
  EXPECT_EQ(FindPaymentDriver(u"TEST_DRIVER_A"), nullptr);
}

TEST(PaymentDriversTest, ASecondRegistrationOfANameKeepsTheFirstClass) {
  kPaymentDriverRegistration first(u"TEST_DRIVER_B", VersionOnly(u"first"));
  {
    kPaymentDriverRegistration second(u"TEST_DRIVER_B", VersionOnly(u"second"));
    EXPECT_FALSE(second.Registered());
    EXPECT_EQ(FindPaymentDriver(u"TEST_DRIVER_B")->GetDriverVersion(), u"first");
  }
  // The refused registration's end does not remove the first one's entry.
  ASSERT_NE(FindPaymentDriver(u"TEST_DRIVER_B"), nullptr);
  EXPECT_EQ(FindPaymentDriver(u"TEST_DRIVER_B")->GetDriverVersion(), u"first");
}

}  // namespace
