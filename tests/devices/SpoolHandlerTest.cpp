// The spool handler against a private print server: raw jobs arrive byte for byte at the
// queue's device, drawn pages arrive as documents whose picture sits where the rule puts it.
#include <gtest/gtest.h>

#include <functional>

#include "devices/HandlerLog.h"
#include "io/uVXIOHandler_Spool.h"
#include "platform/Error.h"
#include "support/PrintServer.h"

namespace {

using vxtest::U8;

std::string RaisedBy(const std::function<void()>& aAction) {
  try {
    aAction();
  } catch (const tVX_Error& e) {
    return U8(e.Message());
  }
  return "(nothing raised)";
}

// A black picture of the given size.
port::Bitmap Black(int aWidth, int aHeight) {
  port::Bitmap bitmap;
  bitmap.width = aWidth;
  bitmap.height = aHeight;
  bitmap.pixels.assign(static_cast<size_t>(aWidth) * aHeight, 0x000000);
  return bitmap;
}

// The smallest rectangle holding every dark pixel of a page.
struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;  // right and bottom exclusive
};

Box DarkBox(const vxtest::GreyImage& aPage) {
  Box box;
  for (int y = 0; y < aPage.height; ++y) {
    for (int x = 0; x < aPage.width; ++x) {
      if (aPage.At(x, y) >= 128) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (box.top < 0) box.top = y;
      if (x + 1 > box.right) box.right = x + 1;
      box.bottom = y + 1;
    }
  }
  return box;
}

kConnection SpoolConnection(const std::u16string& aPrinter) {
  kConnection connection;
  connection.SetConnectionType(vxConnectionType::Spool);
  connection.SetPrinterName(aPrinter);
  return connection;
}

// A bitmap job on aQueue of aServer (the printer named as aPrinterName spells it), rendered at
// 100 dpi.
vxtest::GreyImage PrintAndRenderOn(vxtest::PrintServer& aServer, const std::string& aQueue,
                                   const std::u16string& aPrinterName, const port::Bitmap& aBitmap) {
  kConnection connection = SpoolConnection(aPrinterName);
  kIOHandler_Spool handler(&connection, u"", u"");
  handler.SetBitmap(&aBitmap);
  EXPECT_TRUE(handler.Write(u"not printed"));
  std::string document = aServer.ReceiveJob(aQueue, 10000);
  std::string title;
  if (aServer.LastJobTitle(aQueue, title)) {
    EXPECT_EQ(title, "Cassivo Spool Output");
  }
  vxtest::GreyImage page;
  std::string why;
  EXPECT_TRUE(vxtest::RenderPage(document, 100, page, why)) << why;
  return page;
}

TEST(SpoolHandlerSetupTest, StartsInNormalModeAndKeepsAnEmptyChannel) {
  kConnection connection = SpoolConnection(u"Receipts");
  kIOHandler_Spool handler(&connection, u"", u"");
  EXPECT_EQ(handler.OutputType(), vxSpoolOutputType::Normal);
  EXPECT_EQ(handler.PrinterName(), u"Receipts");
  EXPECT_TRUE(handler.Connected());
  EXPECT_TRUE(handler.Connect());
  EXPECT_TRUE(handler.Disconnect());
  EXPECT_EQ(handler.ReadUpTo({1}), u"");
  EXPECT_EQ(handler.ReadChars(1), u"");
  EXPECT_EQ(handler.DecodeError(1), u"");
  EXPECT_EQ(RaisedBy([&] { handler.ReadAll(); }), "ReadAll Unsupported");
  EXPECT_EQ(RaisedBy([&] { handler.InputBufferContainsData(); }), "InputBufferContainsData Unsupported");
  // Nothing to draw: no job is started.
  EXPECT_EQ(RaisedBy([&] { handler.Write(u""); }), "kIOHandler_Spool.WriteNormal: No bitmap to print");
}

TEST(SpoolHandlerSetupTest, APrinterThatIsNotInstalledIsReported) {
  kConnection connection = SpoolConnection(u"No Such Printer 7");
  kIOHandler_Spool handler(&connection, u"", u"");
  port::Bitmap bitmap = Black(10, 10);
  handler.SetBitmap(&bitmap);
  EXPECT_EQ(RaisedBy([&] { handler.Write(u""); }), "kIOHandler_Spool.WriteNormal: Printer No Such Printer 7 not found");

  handler.SetOutputType(vxSpoolOutputType::Raw);
  EXPECT_FALSE(handler.Write(u"text"));
  EXPECT_FALSE(handler.ErrorMessage().empty());
  EXPECT_FALSE(handler.ErrorFound());  // only the message is left
  EXPECT_EQ(handler.ErrorCode(), 0);
}

class SpoolHandlerTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    fServer = vxtest::PrintServer::Start(
        {{"rawq"}, {"fine", "iso_a4_210x297mm", 600}, {"letter", "na_letter_8.5x11in", 300}}, why);
    if (!fServer) GTEST_SKIP() << why;
  }

  // The spooler's name of a queue, as a connection names the printer.
  std::u16string Printer(const std::string& aQueue) const { return vxtext::Widen(fServer->PrinterName(aQueue)); }

  vxtest::GreyImage PrintAndRender(const std::string& aQueue, const std::u16string& aPrinterName,
                                   const port::Bitmap& aBitmap) {
    return PrintAndRenderOn(*fServer, aQueue, aPrinterName, aBitmap);
  }
  vxtest::GreyImage PrintAndRender(const std::string& aQueue, const port::Bitmap& aBitmap) {
    return PrintAndRender(aQueue, Printer(aQueue), aBitmap);
  }

  std::unique_ptr<vxtest::PrintServer> fServer;
};

TEST_F(SpoolHandlerTest, RawJobsReachThePrinterByteForByte) {
  kConnection connection = SpoolConnection(Printer("rawq"));
  kIOHandler_Spool handler(&connection, u"", u"");
  handler.SetOutputType(vxSpoolOutputType::Raw);
  EXPECT_TRUE(handler.Write(u"Gr\u00fc\u00dfe \u20ac\r\n\x1b@"));
  EXPECT_EQ(fServer->ReceiveJob("rawq", 10000), "Gr\xfc\xdf" "e \x80\r\n\x1b@");  // Windows-1252

  handler.SetCodePage(850);
  EXPECT_TRUE(handler.Write(u"\u00fc"));
  EXPECT_EQ(fServer->ReceiveJob("rawq", 10000), "\x81");

  const std::string bytes("\x00\x01\xff\x1b" "d\x03", 6);
  EXPECT_TRUE(handler.WriteBytes(bytes));
  EXPECT_EQ(fServer->ReceiveJob("rawq", 10000), bytes);
  EXPECT_FALSE(handler.ErrorFound());
  std::string title;
  if (fServer->LastJobTitle("rawq", title)) {
    EXPECT_EQ(title, "Zarvik Receipt");
  }
}

TEST_F(SpoolHandlerTest, APrinterTheSpoolerDoesNotKnowIsReported) {
  kConnection connection = SpoolConnection(Printer("rawq") + u"x");
  kIOHandler_Spool handler(&connection, u"", u"");
  port::Bitmap bitmap = Black(10, 10);
  handler.SetBitmap(&bitmap);
  EXPECT_EQ(RaisedBy([&] { handler.Write(u""); }),
            "kIOHandler_Spool.WriteNormal: Printer " + U8(Printer("rawq")) + "x not found");
  handler.SetOutputType(vxSpoolOutputType::Raw);
  EXPECT_FALSE(handler.WriteBytes("abc"));
  EXPECT_FALSE(handler.ErrorMessage().empty());
  EXPECT_EQ(fServer->ReceiveJob("rawq", 300), "");
}

TEST_F(SpoolHandlerTest, ABitmapIsCentredAtItsSizeOnThePage) {
  // 600 by 300 pixels at 300 dpi: two inches by one, centred on A4 (8.27 by 11.69 inches).
  // The printer is found whatever the case of its name.
  vxtest::GreyImage page = PrintAndRender("rawq", vxtext::UpperCase(Printer("rawq")), Black(600, 300));
  ASSERT_EQ(page.width, 827);
  Box box = DarkBox(page);
  EXPECT_NEAR(box.right - box.left, 200, 2);
  EXPECT_NEAR(box.bottom - box.top, 100, 2);
  EXPECT_NEAR(box.left, (827 - 200) / 2, 2);
  EXPECT_NEAR(box.top, (1169 - 100) / 2, 2);
}

TEST_F(SpoolHandlerTest, AtSixHundredDotsPerInchTheBitmapTakesTwiceItsPixels) {
  // Stretched to 1200 by 600 device pixels at 600 dpi: the same two inches by one.
  vxtest::GreyImage page = PrintAndRender("fine", Black(600, 300));
  Box box = DarkBox(page);
  EXPECT_NEAR(box.right - box.left, 200, 2);
  EXPECT_NEAR(box.bottom - box.top, 100, 2);
  EXPECT_NEAR(box.left, (827 - 200) / 2, 2);
}

TEST_F(SpoolHandlerTest, ABitmapTooLargeForThePageIsShrunkToFit) {
  // 3000 pixels are ten inches: wider than letter paper (8.5 inches), so the width fills the page.
  vxtest::GreyImage wide = PrintAndRender("letter", Black(3000, 600));
  ASSERT_EQ(wide.width, 850);
  Box box = DarkBox(wide);
  EXPECT_NEAR(box.left, 0, 2);
  EXPECT_NEAR(box.right, 850, 2);
  EXPECT_NEAR(box.bottom - box.top, 170, 2);  // the height shrinks with it: 600 * 2550 / 3000 pixels
  EXPECT_NEAR(box.top, (1100 - 170) / 2, 2);

  // Too tall: the height fills the page and the width follows.
  vxtest::GreyImage tall = PrintAndRender("letter", Black(300, 6600));
  box = DarkBox(tall);
  EXPECT_NEAR(box.top, 0, 2);
  EXPECT_NEAR(box.bottom, 1100, 2);
  EXPECT_NEAR(box.right - box.left, 50, 2);
}

TEST(SpoolHandlerMarginTest, ThePictureIsCentredInThePrintableAreaPastThePrintersOffsets) {
  // A4 at 300 dpi that cannot print the first inch at the left nor half an inch at the top.
  std::string why;
  auto server = vxtest::PrintServer::Start({{"edges", "iso_a4_210x297mm", 300, 72, 36}}, why);
  if (!server) GTEST_SKIP() << why;
  vxtest::GreyImage page =
      PrintAndRenderOn(*server, "edges", vxtext::Widen(server->PrinterName("edges")), Black(600, 300));
  ASSERT_EQ(page.width, 827);
  // Printable: 2180 by 3357 device pixels, from (300, 150). At 100 dpi a third of that.
  Box box = DarkBox(page);
  EXPECT_NEAR(box.right - box.left, 200, 2);
  EXPECT_NEAR(box.left, (300 + (2180 - 600) / 2) / 3, 2);
  EXPECT_NEAR(box.top, (150 + (3357 - 300) / 2) / 3, 2);

  // Shrunk to the printable width, the picture fills it and loses nothing at the right.
  page = PrintAndRenderOn(*server, "edges", vxtext::Widen(server->PrinterName("edges")), Black(3000, 300));
  box = DarkBox(page);
  EXPECT_NEAR(box.left, 300 / 3, 2);
  EXPECT_NEAR(box.right, (300 + 2180) / 3, 2);
}

}  // namespace
