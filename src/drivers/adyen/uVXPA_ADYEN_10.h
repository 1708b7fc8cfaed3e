#pragma once
// kPayment_ADYEN: the payment driver for a terminal spoken to over the Terminal API. Each command
// becomes one JSON message, protected by the message security and posted over HTTP to the
// terminal's "/nexo" endpoint; the answer is checked, decrypted and mapped onto the result.
// Registered as "VXPA_ADYEN_10" in the driver registry when the module loads.
//
// A device serves one command at a time: the working fields of the exchange (in fSecurity) are
// shared by all its commands.
#include <cstdint>
#include <string>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Security.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Status.h"
#include "payment/uVxPayment.h"

class kIOHandler_HTTP;

class kPayment_ADYEN : public kPaymentDevice {
 public:
  static constexpr char16_t kDriverName[] = u"VXPA_ADYEN_10";

  // Reads POIID, KeyIdentifier, KeyVersion and Secret, points the HTTP handler's URL at
  // "/nexo", derives the keys and draws the device's nonce. Sends nothing. Throws tVX_Error
  // "POIID is mandatory", "KeyIdentifier is mandatory", "KeyVersion is mandatory" or "Secret is
  // mandatory" (checked in that order), or a refusal when the connection is not HTTP.
  explicit kPayment_ADYEN(const kPaymentHandler& aHandler);
  ~kPayment_ADYEN() override;

  const std::u16string& POIID() const { return fPOIID; }
  // The key material and the working state of the last exchange.
  const kAdyenSecurity& Security() const { return fSecurity; }
  // The device's I/O handler seen as the HTTP handler it must be (not owned).
  kIOHandler_HTTP& IOHandlerHTTP() const { return *fIOHandlerHTTP; }

  // Ten digits from the local clock: "yyyymmddhhnnsszzz" without its first seven characters.
  static std::u16string NewServiceReference();

 protected:
  bool DoPay(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool DoRefund(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool DoVoid(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool DoReprint(kPaymentReceipt& aReceipt, _int_REPRINT_result& aResult) override;
  bool DoDayClose(kPaymentDayClose& aDayClose, _int_DAYCLOSE_result& aResult) override;
  bool DoGetTotals(kPaymentTotals& aTotals, _int_GETTOTALS_result& aResult) override;
  bool Reserved() override;  // answers false, sends nothing
  bool DoVerifyTran(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;

  // ---- the building blocks every operation is made of ----

  // The exchange for the plain request already in fSecurity.fInputMessage: encrypt, sign, log it
  // under aTag (let_info), wrap, post, then check and decrypt the answer into
  // fSecurity.fJSONResponseDecrypted. True when the post went through and the answer passed the
  // checks; false when the post failed (the I/O handler then holds the transport error, if the
  // terminal sent a body). A failed security check throws its message.
  bool Exchange(std::u16string_view aTag);
  // Posts fSecurity.fJSONRequest with a fresh HTTP client; fills fSecurity.fJSONResponse. On an
  // answer outside the accepted statuses with a body, records (status, status text + " - " +
  // errors[0] of the body) as the I/O handler's custom error. Never throws.
  bool PostRequest();

  // Login and logout around a reconciliation or totals request. aErrorText is emptied first and
  // ends with the reason of a refusal (and any "message"/"errors" texts of the answer). False when
  // the exchange failed or the terminal did not answer "Success". Security failures throw.
  bool Login(std::u16string_view aStoreCode, std::u16string_view aTillCode, std::u16string& aErrorText);
  bool Logout(std::u16string_view aStoreCode, std::u16string_view aTillCode, std::u16string& aErrorText);
  void BuildLoginRequest(std::u16string_view aStoreCode, std::u16string_view aTillCode);
  void BuildLogoutRequest(std::u16string_view aStoreCode, std::u16string_view aTillCode);
  bool ParseLoginResponse(std::u16string& aErrorText);
  bool ParseLogoutResponse(std::u16string& aErrorText);

  // Login, aCommand, logout. A refused login sets aError and aErrorText and answers false without
  // running aCommand or a logout; otherwise the request's reference is replaced by a fresh
  // service reference, aCommand runs (its outcome sets aError and is answered), then a logout is
  // sent whose outcome is ignored. A failure thrown by aCommand passes through with no logout.
  template <class TStoreRequest, class TCommand>
  bool RunInLoginBracket(TStoreRequest& aRequest, bool& aError, std::u16string& aErrorText, TCommand aCommand) {
    if (!Login(aRequest.StoreCode(), aRequest.TillCode(), aErrorText)) {
      aError = true;
      return false;
    }
    aRequest.SetReference(NewServiceReference());
    bool ok = aCommand();
    aError = !ok;
    std::u16string scratch;
    Logout(aRequest.StoreCode(), aRequest.TillCode(), scratch);
    return ok;
  }

  // A request reference of 1 to 10 characters is kept; an empty or longer one is replaced, in
  // the request, by NewServiceReference.
  static void EnsureSaleReference(kPaymentReceipt& aReceipt);

  // Payment (action Pay) or reversal (Refund, Void) request for the receipt, into fInputMessage.
  void BuildPaymentRequest(const kPaymentReceipt& aReceipt);
  void BuildReversalRequest(const kPaymentReceipt& aReceipt);
  // Reads the decrypted answer as the payment or reversal response of aReceipt's action;
  // answers whether the terminal reported "Success". Also the reader of a repeated response.
  bool ParsePaymentResponse(const kPaymentReceipt& aReceipt, _int_PAY_result& aResult);

  // Transaction status request for the receipt (its sale reference must be set), into
  // fInputMessage.
  void BuildTransactionStatusRequest(const kPaymentReceipt& aReceipt);
  // Reads the decrypted status answer: the repeated payment or reversal is read into aResult and
  // the request's action set to match it; "InProgress" is told apart so that the caller asks again.
  adyen::vxAdyenStatusOutcome ParseTransactionStatusResponse(kPaymentReceipt& aReceipt, _int_PAY_result& aResult);

  // Reconciliation or totals request for the request's fresh reference, into fInputMessage.
  void BuildReconciliationRequest(const kPaymentDayClose& aDayClose);
  void BuildGetTotalsRequest(const kPaymentTotals& aTotals);
  // Read the decrypted answer into the counters, the sums and the 42-column report; answer
  // whether the terminal reported "Success".
  bool ParseReconciliationResponse(_int_DAYCLOSE_result& aResult);
  bool ParseGetTotalsResponse(_int_GETTOTALS_result& aResult);

  // How many status requests a verification sends at most while the terminal answers
  // "InProgress" (one a second). Tests shorten it; nothing in a request document changes it.
  void SetInProgressMaxAttempts(int32_t aAttempts) { fInProgressMaxAttempts = aAttempts; }

  // Derives the keys from the secret and draws the nonce.
  void PrepareSecurity();

  std::u16string fPOIID;
  // KeyIdentifier, KeyVersion (-1 when missing or unreadable), Secret, the key material fixed at
  // creation and the working fields of the exchange in progress.
  kAdyenSecurity fSecurity;
  kIOHandler_HTTP* fIOHandlerHTTP = nullptr;  // the same object as fIOHandler
  // What the payment messages quote about this driver and machine; fixed at creation.
  adyen::tAdyenSaleContext fSaleContext;
  int32_t fInProgressMaxAttempts = adyen::kInProgressMaxAttempts;
};
