// The library and COM handlers: loading a real library built with the tests, finding its
// procedures, and the channel operations that do nothing.
#include <gtest/gtest.h>

#include <functional>

#include "devices/HandlerLog.h"
#include "io/uVXIOHandler_Com.h"
#include "io/uVXIOHandler_Dll.h"
#include "platform/Error.h"

namespace {

using vxtest::HasLine;
using vxtest::U8;

std::string RaisedBy(const std::function<void()>& aAction) {
  try {
    aAction();
  } catch (const tVX_Error& e) {
    return U8(e.Message());
  }
  return "(nothing raised)";
}

TEST(DllHandlerTest, LoadsTheLibraryAndHandsOutItsProcedures) {
  vxtest::TempDir folder;
  kConnection connection;
  connection.SetLibraryName(vxtext::Widen(VX_TEST_LIBRARY));
  auto handler = std::make_unique<kIOHandler_Dll>(&connection, folder.Text(), u"dll");
  const std::u16string logFile = handler->GetLogFileName();
  using Add = int (*)(int, int);
  auto add = reinterpret_cast<Add>(handler->GetAddress(u"VxAdd"));
  EXPECT_EQ(add(40, 2), 42);
  EXPECT_EQ(RaisedBy([&] { handler->GetAddress(u"VxMissing"); }), "Unable to get address for procedure VxMissing");

  EXPECT_TRUE(handler->Connected());
  EXPECT_TRUE(handler->Connect());
  EXPECT_TRUE(handler->Write(u"ignored"));
  EXPECT_TRUE(handler->Disconnect());
  EXPECT_EQ(handler->ReadUpTo({13}), u"");
  EXPECT_EQ(handler->ReadChars(4), u"");
  EXPECT_EQ(handler->DecodeError(1), u"");
  EXPECT_EQ(RaisedBy([&] { handler->ReadAll(); }), "ReadAll Unsupported");
  EXPECT_EQ(RaisedBy([&] { handler->InputBufferContainsData(); }), "InputBufferContainsData Unsupported");

  handler.reset();
  std::vector<std::string> log = vxtest::LogLines(logFile);
  const std::vector<std::string> expected = {
      std::string("kIOHandler_Dll.Create:Loading DLL ") + VX_TEST_LIBRARY, "kIOHandler_Dll.Create:DLL Loaded successfully",
      "kIOHandler_Dll.Destroy:Unloading DLL", "kIOHandler_Dll.Destroy:DLL Unloaded Successfully"};
  for (const std::string& line : expected) EXPECT_TRUE(HasLine(log, line)) << line;
  EXPECT_LT(vxtest::IndexOf(log, expected[1]), vxtest::IndexOf(log, expected[2]));
  EXPECT_EQ(log.back(), "*************************** STOP ****************************");
}

TEST(DllHandlerTest, ALibraryThatCannotBeLoadedIsRefusedWithTheSystemsReason) {
  vxtest::TempDir folder;
  kConnection connection;
  const std::u16string name = folder.Text() + u"missing-library.bin";
  connection.SetLibraryName(name);
  std::string message = RaisedBy([&] { kIOHandler_Dll handler(&connection, folder.Text(), u"dll"); });
  const std::string prefix = "Unable to Load Library " + U8(name) + ". ";
  ASSERT_EQ(message.rfind(prefix, 0), 0u) << message;
  // Then the system's text and its code in brackets.
  size_t open = message.rfind(" [");
  ASSERT_NE(open, std::string::npos);
  EXPECT_GT(open, prefix.size());
  EXPECT_EQ(message.back(), ']');
  int32_t code = 0;
  EXPECT_TRUE(vxtext::TryStrToInt(vxtext::Widen(message.substr(open + 2, message.size() - open - 3)), code))
      << message;
}

TEST(ComHandlerTest, IsAnEmptyChannel) {
  kIOHandler_Com handler(nullptr, u"", u"");
  EXPECT_TRUE(handler.Connected());
  EXPECT_TRUE(handler.Connect());
  EXPECT_FALSE(handler.Write(u"data"));
  EXPECT_TRUE(handler.Disconnect());
  EXPECT_EQ(handler.ReadUpTo({10}), u"");
  EXPECT_EQ(handler.ReadChars(2), u"");
  EXPECT_EQ(handler.DecodeError(2), u"");
  EXPECT_EQ(RaisedBy([&] { handler.ReadAll(); }), "ReadAll Unsupported");
  EXPECT_EQ(RaisedBy([&] { handler.InputBufferContainsData(); }), "InputBufferContainsData Unsupported");
}

}  // namespace
