// A whole request: the configuration plus the command part that the document types ask for.
#include <gtest/gtest.h>

#include <string>

#include "io/uVXIOHandler.h"
#include "io/uVXIOHandler_Connection.h"
#include "payment/uVxPayment_Handler.h"
#include "platform/Error.h"

namespace {

using D = vxPaymentHandlerDocumentType;

std::u16string Request(std::u16string_view aInner) {
  return u"<Request><Driver>VXPA_X</Driver><Handle>4</Handle><Connection><Type>HTTP</Type></Connection>" +
         std::u16string(aInner) + u"</Request>";
}

std::u16string FailureOf(std::u16string_view aXml, vxPaymentHandlerDocumentTypes aTypes) {
  kPaymentHandler handler;
  try {
    handler.Deserialize(aXml, aTypes);
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"";
}

TEST(PaymentHandlerTest, ReadsTheConfigurationAndThenTheCommandPart) {
  kPaymentHandler handler;
  handler.Deserialize(Request(u"<Payment><Amount>2</Amount></Payment><DayClose><Reference>Z</Reference></DayClose>"),
                      {D::dt_Pay});
  EXPECT_EQ(handler.Driver(), u"VXPA_X");
  EXPECT_EQ(handler.DeviceHandle(), 4);
  EXPECT_EQ(handler.Connection().ConnectionType(), vxConnectionType::HTTP);
  EXPECT_EQ(handler.PaymentReceipt().Amount().Units(), 20000);
  EXPECT_EQ(handler.DayClose().Reference(), u"");  // not asked for, not read

  kPaymentHandler dayClose;
  dayClose.Deserialize(Request(u"<DayClose><Reference>Z</Reference></DayClose>"), {D::dt_DayClose});
  EXPECT_EQ(dayClose.DayClose().Reference(), u"Z");
  kPaymentHandler totals;
  totals.Deserialize(Request(u"<GetTotals><Reference>G</Reference></GetTotals>"), {D::dt_GetTotals});
  EXPECT_EQ(totals.Totals().Reference(), u"G");
}

TEST(PaymentHandlerTest, TheDocumentTypesChooseWhichPartIsRead) {
  // The configuration only: no command element is needed.
  EXPECT_EQ(FailureOf(Request(u""), {D::dt_Open}), u"");
  EXPECT_EQ(FailureOf(Request(u""), {}), u"");
  EXPECT_EQ(FailureOf(Request(u""), {D::dt_Pay}), u"Payment/Reprint/VerifyTran node not found");
  EXPECT_EQ(FailureOf(Request(u""), {D::dt_PayReprint}), u"Payment/Reprint/VerifyTran node not found");
  EXPECT_EQ(FailureOf(Request(u""), {D::dt_VerifyTran}), u"Payment/Reprint/VerifyTran node not found");
  EXPECT_EQ(FailureOf(Request(u""), {D::dt_DayClose}), u"DayClose node not found");
  EXPECT_EQ(FailureOf(Request(u""), {D::dt_GetTotals}), u"GetTotals node not found");
  // A payment type wins over a day close, a day close over totals.
  EXPECT_EQ(FailureOf(Request(u"<DayClose/>"), {D::dt_DayClose, D::dt_Pay}), u"Payment/Reprint/VerifyTran node not found");
  EXPECT_EQ(FailureOf(Request(u"<GetTotals/>"), {D::dt_GetTotals, D::dt_DayClose}), u"DayClose node not found");
  // A configuration failure comes first.
  EXPECT_EQ(FailureOf(u"<Request><Connection><Type>usb</Type></Connection></Request>", {D::dt_Pay}),
            u"Connection Type usb is not valid");
}

}  // namespace
