// The command parts of a request: payment, reprint and verification elements, day close and
// totals, with their defaults and the messages of rejected values.
#include <gtest/gtest.h>

#include <string>

#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"
#include "payment/uVxPayment_Request.h"
#include "platform/Error.h"

namespace {

std::u16string Request(std::u16string_view aInner) {
  return u"<Request><Driver>VXPA_X</Driver>" + std::u16string(aInner) + u"</Request>";
}

std::u16string Payment(std::u16string_view aInner) {
  return Request(u"<Payment>" + std::u16string(aInner) + u"</Payment>");
}

template <class TRequest>
void Load(TRequest& aRequest, std::u16string_view aXml) {
  auto document = port::XmlDocument::Parse(aXml);
  aRequest.LoadFromDocument(*document);
}

// The message of the failure that reading aXml into a new TRequest ends in ("" for none).
template <class TRequest>
std::u16string FailureOf(std::u16string_view aXml) {
  TRequest request;
  try {
    Load(request, aXml);
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"";
}

TEST(PaymentRequestTest, ReadsEveryPaymentField) {
  kPaymentReceipt r;
  Load(r, Payment(u"<MerchantCode>M1</MerchantCode><StoreCode>S1</StoreCode><TillCode>T1</TillCode>"
                  u"<Reference>R-1</Reference><ReceiptSubType>sub</ReceiptSubType><Amount>12.5</Amount>"
                  u"<Currency>EUR</Currency><TipAmount>1.25</TipAmount><RequestTipAmount>True</RequestTipAmount>"
                  u"<Attributes>a;b</Attributes><MaxItems>3</MaxItems><MaxAmount>99.99</MaxAmount>"
                  u"<TokenizeCard>1</TokenizeCard><TokenReference>tok</TokenReference>"
                  u"<ReceiptColCount>42</ReceiptColCount><PrintLocation>EFT</PrintLocation>"
                  u"<PaymentChannel>MVP</PaymentChannel><Action>REFUND</Action><Phase>COMMIT</Phase>"
                  u"<OperatorId>op7</OperatorId><RefundReference><PaymentId>PSP-1</PaymentId>"
                  u"<PaymentDateTime>2024-01-08T06:45:56.123</PaymentDateTime></RefundReference>"
                  u"<ReceiptId>rc9</ReceiptId>"));
  EXPECT_EQ(r.MerchantCode(), u"M1");
  EXPECT_EQ(r.StoreCode(), u"S1");
  EXPECT_EQ(r.TillCode(), u"T1");
  EXPECT_EQ(r.Reference(), u"R-1");
  EXPECT_EQ(r.ReceiptSubType(), u"sub");
  EXPECT_EQ(r.Amount().Units(), 125000);
  EXPECT_EQ(r.Currency(), u"EUR");
  EXPECT_EQ(r.TipAmount().Units(), 12500);
  EXPECT_TRUE(r.RequestTipAmount());
  EXPECT_EQ(r.Attributes(), u"a;b");
  EXPECT_EQ(r.MaxItems(), 3);
  EXPECT_EQ(r.MaxAmount().Units(), 999900);
  EXPECT_TRUE(r.TokenizeCard());
  EXPECT_EQ(r.TokenReference(), u"tok");
  EXPECT_EQ(r.ReceiptColCount(), 42);
  EXPECT_EQ(r.PrintLocation(), VxPrintLocation::pl_EFT);
  EXPECT_EQ(r.PaymentChannel(), VxPaymentChannel::pc_MealVoucherProvider);
  EXPECT_EQ(r.Action(), vxPaymentAction::Refund);
  EXPECT_EQ(r.Phase(), vxPaymentPhase::Commit);
  EXPECT_EQ(r.OperatorId(), u"op7");
  EXPECT_EQ(r.RefundReference().PaymentNumber, u"PSP-1");
  tVX_DateTimeParts when = vxdate::Decode(r.RefundReference().PaymentDateTime);
  EXPECT_EQ(when.year, 2024);
  EXPECT_EQ(when.month, 1);
  EXPECT_EQ(when.day, 8);
  EXPECT_EQ(when.hour, 6);
  EXPECT_EQ(when.minute, 45);
  EXPECT_EQ(when.second, 56);
  EXPECT_EQ(when.millisecond, 123);
  EXPECT_EQ(r.ReceiptId(), u"rc9");
}

TEST(PaymentRequestTest, MissingOrEmptyElementsGiveTheDefaults) {
  kPaymentReceipt r;
  Load(r, Payment(u"<ReceiptColCount>0</ReceiptColCount><PrintLocation/><Action></Action>"));
  EXPECT_EQ(r.ReceiptColCount(), 32);
  EXPECT_EQ(r.PrintLocation(), VxPrintLocation::pl_ECR);
  EXPECT_EQ(r.PaymentChannel(), VxPaymentChannel::pc_Standard);
  EXPECT_EQ(r.Action(), vxPaymentAction::Pay);
  EXPECT_EQ(r.Phase(), vxPaymentPhase::None);
  EXPECT_EQ(r.Amount().Units(), 0);
  EXPECT_EQ(r.MaxItems(), 0);
  EXPECT_FALSE(r.RequestTipAmount());
  EXPECT_FALSE(r.TokenizeCard());
  EXPECT_EQ(r.RefundReference().PaymentNumber, u"");
  EXPECT_EQ(r.RefundReference().PaymentDateTime, 0.0);

  kPaymentReceipt other;
  Load(other, Payment(u"<ReceiptColCount>-4</ReceiptColCount><Action>VOID</Action><Phase>DO</Phase>"
                      u"<PaymentChannel>NHS</PaymentChannel><PrintLocation>ECR</PrintLocation>"));
  EXPECT_EQ(other.ReceiptColCount(), 32);
  EXPECT_EQ(other.Action(), vxPaymentAction::Void);  // accepted, though the message does not list it
  EXPECT_EQ(other.Phase(), vxPaymentPhase::Do);
  EXPECT_EQ(other.PaymentChannel(), VxPaymentChannel::pc_NationalHealthService);

  // An empty PrintLocation keeps what the record already holds.
  kPaymentReceipt kept;
  kept.SetPrintLocation(VxPrintLocation::pl_EFT);
  Load(kept, Payment(u"<PrintLocation></PrintLocation>"));
  EXPECT_EQ(kept.PrintLocation(), VxPrintLocation::pl_EFT);
}

TEST(PaymentRequestTest, ReadsPaymentThenReprintThenVerifyTran) {
  kPaymentReceipt first;
  Load(first, Request(u"<Reprint><ReceiptId>from reprint</ReceiptId></Reprint>"
                      u"<Payment><ReceiptId>from payment</ReceiptId></Payment>"
                      u"<Payment><ReceiptId>second payment</ReceiptId></Payment>"
                      u"<VerifyTran><ReceiptId>from verify</ReceiptId></VerifyTran>"));
  EXPECT_EQ(first.ReceiptId(), u"from payment");
  kPaymentReceipt reprint;
  Load(reprint, Request(u"<VerifyTran><ReceiptId>v</ReceiptId></VerifyTran><Reprint><ReceiptId>r</ReceiptId></Reprint>"));
  EXPECT_EQ(reprint.ReceiptId(), u"r");
  kPaymentReceipt verify;
  Load(verify, Request(u"<VerifyTran><Amount>3</Amount></VerifyTran>"));
  EXPECT_EQ(verify.Amount().Units(), 30000);

  EXPECT_EQ(FailureOf<kPaymentReceipt>(Request(u"")), u"Payment/Reprint/VerifyTran node not found");
  // Only the root's children count, by exact name.
  EXPECT_EQ(FailureOf<kPaymentReceipt>(Request(u"<payment/><X><Payment/></X>")),
            u"Payment/Reprint/VerifyTran node not found");
}

TEST(PaymentRequestTest, RejectedPaymentValuesFailWithTheirMessages) {
  struct Case { const char16_t *inner, *message; };
  for (auto c : {
           Case{u"<PrintLocation>eft</PrintLocation>", u"Payment Location eft invalid. Allowed values are: ECR,EFT."},
           Case{u"<PaymentChannel>std</PaymentChannel>",
                u"Payment Channel std invalid. Allowed values are: STD,MVP,NHS."},
           Case{u"<Action>refund</Action>", u"Action refund invalid. Allowed values are: PAY,REFUND."},
           Case{u"<Action>CANCEL</Action>", u"Action CANCEL invalid. Allowed values are: PAY,REFUND."},
           Case{u"<Phase>END</Phase>", u"Phase END invalid. Allowed values are: BEGIN,DO,COMMIT,ROLLBACK."},
           Case{u"<Phase>none</Phase>", u"Phase none invalid. Allowed values are: BEGIN,DO,COMMIT,ROLLBACK."},
           Case{u"<Amount>1,234.50</Amount>",
                u"Error in processing node Amount as currency.\r\n'1,234.50' is not a valid floating point value"},
           Case{u"<MaxItems>two</MaxItems>",
                u"Error in processing node MaxItems as integer.\r\n'two' is not a valid integer value"},
           Case{u"<ReceiptColCount>wide</ReceiptColCount>",
                u"Error in processing node ReceiptColCount as integer.\r\n'wide' is not a valid integer value"},
           Case{u"<TokenizeCard></TokenizeCard>",
                u"Error in processing node TokenizeCard as boolean.\r\n'' is not a valid boolean value"},
           Case{u"<RefundReference><PaymentDateTime>2024-01-08</PaymentDateTime></RefundReference>",
                u"Error in processing node PaymentDateTime as datetime.\r\nDateTime Format invalid: [2024-01-08]"},
       }) {
    EXPECT_EQ(FailureOf<kPaymentReceipt>(Payment(c.inner)), c.message) << vxtext::Utf8(c.inner);
  }
}

TEST(PaymentRequestTest, AFailureKeepsTheFieldsReadBeforeIt) {
  kPaymentReceipt r;
  EXPECT_THROW(Load(r, Payment(u"<Reference>R</Reference><Amount>7</Amount><Action>X</Action><OperatorId>op</OperatorId>")),
               tVX_Error);
  EXPECT_EQ(r.Reference(), u"R");
  EXPECT_EQ(r.Amount().Units(), 70000);
  EXPECT_EQ(r.OperatorId(), u"");
}

TEST(PaymentRequestTest, DayCloseAndTotalsReadTheirOwnElements) {
  kPaymentDayClose dayClose;
  Load(dayClose, Request(u"<GetTotals><StoreCode>wrong</StoreCode></GetTotals><DayClose><StoreCode>S</StoreCode>"
                         u"<TillCode>T</TillCode><PrintLocation>EFT</PrintLocation><Reference>R</Reference></DayClose>"));
  EXPECT_EQ(dayClose.StoreCode(), u"S");
  EXPECT_EQ(dayClose.TillCode(), u"T");
  EXPECT_EQ(dayClose.PrintLocation(), VxPrintLocation::pl_EFT);
  EXPECT_EQ(dayClose.Reference(), u"R");

  kPaymentTotals totals;
  Load(totals, Request(u"<DayClose><TillCode>wrong</TillCode></DayClose><GetTotals><TillCode>T2</TillCode></GetTotals>"));
  EXPECT_EQ(totals.TillCode(), u"T2");
  EXPECT_EQ(totals.StoreCode(), u"");
  EXPECT_EQ(totals.PrintLocation(), VxPrintLocation::pl_ECR);

  EXPECT_EQ(FailureOf<kPaymentDayClose>(Request(u"<GetTotals/>")), u"DayClose node not found");
  EXPECT_EQ(FailureOf<kPaymentTotals>(Request(u"<DayClose/>")), u"GetTotals node not found");
  EXPECT_EQ(FailureOf<kPaymentDayClose>(Request(u"<DayClose><PrintLocation>XYZ</PrintLocation></DayClose>")),
            u"Payment Location XYZ invalid. Allowed values are: ECR,EFT.");
  EXPECT_EQ(FailureOf<kPaymentTotals>(Request(u"<GetTotals><PrintLocation>ecr</PrintLocation></GetTotals>")),
            u"Payment Location ecr invalid. Allowed values are: ECR,EFT.");
}

}  // namespace
