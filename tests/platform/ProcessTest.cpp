// The host process and machine, and the named lock.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <random>

#include "base/uVX_Text.h"
#include "platform/Process.h"
#include "platform/UserInterface.h"

namespace {

TEST(ProcessTest, ExecutableIsThisTestProgram) {
  std::filesystem::path path(port::ExecutablePath());
  EXPECT_TRUE(path.is_absolute());
  EXPECT_EQ(path.stem(), "test_platform");
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  for (const std::u16string& argument : port::CommandLineArguments())
    EXPECT_NE(std::filesystem::path(argument).stem(), "test_platform") << vxtext::Utf8(argument);
}

TEST(ProcessTest, EnvironmentTellsAnEmptyValueFromAnUnsetOne) {
  const std::u16string name = u"VXPA_TEST_VARIABLE";
  port::SetEnvironmentValue(name, u"caf\u00e9 1");
  EXPECT_EQ(port::EnvironmentVariable(name), std::optional<std::u16string>(u"caf\u00e9 1"));
  port::SetEnvironmentValue(name, u"");
  EXPECT_EQ(port::EnvironmentVariable(name), std::optional<std::u16string>(u""));
  port::SetEnvironmentValue(name, std::nullopt);
  EXPECT_EQ(port::EnvironmentVariable(name), std::nullopt);
}

TEST(ProcessTest, MachineAndSystemAreNamed) {
  std::u16string host = port::HostName();
  EXPECT_FALSE(host.empty());
  std::u16string fallback = port::DefaultMachineName();
  EXPECT_TRUE(fallback.empty() || fallback == host);
  std::u16string name = port::OsName();
  std::u16string version = port::OsVersion();
  EXPECT_FALSE(name.empty());
  EXPECT_GT(version.size(), name.size());
  EXPECT_TRUE(vxtext::StartsWith(version, name)) << vxtext::Utf8(version);
  EXPECT_NE(version.find_first_of(u"0123456789"), std::u16string::npos) << vxtext::Utf8(version);
}

bool TakenByAnotherThread(const std::u16string& aName) {
  return std::async(std::launch::async, [&] { return port::TryAcquireNamedLock(aName) != nullptr; }).get();
}

TEST(NamedLockTest, OneHolderAtATimeUntilReleased) {
  std::random_device random;
  std::u16string name = u"vxpa-test-lock-" + vxtext::IntToStr(random());
  auto lock = port::TryAcquireNamedLock(name);
  ASSERT_NE(lock, nullptr);
  EXPECT_FALSE(TakenByAnotherThread(name));
  EXPECT_TRUE(TakenByAnotherThread(name + u"-other"));
  lock.reset();
  EXPECT_TRUE(TakenByAnotherThread(name));
  EXPECT_TRUE(TakenByAnotherThread(name));  // released again by that thread
}

}  // namespace
