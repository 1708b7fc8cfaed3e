// Verification and reprint: the transaction status dialogue that has the terminal repeat its
// answer to an earlier payment or reversal, receipts included.
#include "drivers/adyen/uVXPA_ADYEN_10.h"

void kPayment_ADYEN::BuildTransactionStatusRequest(const kPaymentReceipt& aReceipt) {
  fSecurity.fInputMessage = adyen::BuildTransactionStatusRequestMessage(fPOIID, aReceipt);
}

adyen::vxAdyenStatusOutcome kPayment_ADYEN::ParseTransactionStatusResponse(kPaymentReceipt& aReceipt,
                                                                          _int_PAY_result& aResult) {
  return adyen::ReadTransactionStatusResponse(fSecurity.fJSONResponseDecrypted, aReceipt, aResult);
}

// A terminal still running the transaction answers "InProgress": the status is asked again with
// a new reference (and so a new ServiceID), one request a second, until it answers otherwise or
// the bound is reached; then the result stays a failure reading "InProgress".
bool kPayment_ADYEN::DoVerifyTran(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  using adyen::vxAdyenStatusOutcome;
  const vxAdyenStatusOutcome outcome = adyen::RepeatWhileInProgress(
      [&] {
        EnsureSaleReference(aReceipt);
        BuildTransactionStatusRequest(aReceipt);
        if (!Exchange(u"kAdyen.VerifyTran")) return vxAdyenStatusOutcome::so_Failure;
        const vxAdyenStatusOutcome read = ParseTransactionStatusResponse(aReceipt, aResult);
        if (read == vxAdyenStatusOutcome::so_InProgress) aReceipt.SetReference(u"");
        return read;
      },
      fInProgressMaxAttempts);
  const bool ok = outcome == vxAdyenStatusOutcome::so_Success;
  aResult.Error = !ok;
  return ok;
}

// The receipts come from a verification into a scratch record; the reprint reports no log file.
bool kPayment_ADYEN::DoReprint(kPaymentReceipt& aReceipt, _int_REPRINT_result& aResult) {
  _int_PAY_result scratch;
  const bool ok = DoVerifyTran(aReceipt, scratch);
  aResult.ReceiptText = scratch.ReceiptText;
  aResult.CashierReceiptText = scratch.CashierReceiptText;
  aResult.Error = scratch.Error;
  aResult.ErrorText = scratch.ErrorText;
  aResult.LogFileName = scratch.LogFileName;
  return ok;
}
