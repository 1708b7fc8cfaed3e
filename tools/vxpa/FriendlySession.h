#pragma once
// One till's conversation with the module: the device handle that open answered and the last
// approved sale, kept across the friendly commands of a session.
#include <optional>
#include <string>

#include "Commands.h"
#include "DeviceProfile.h"

namespace vxpa {

// What a payment command asks for, as the user wrote it.
struct PaymentOrder {
  std::string Action = "PAY";  // PAY, REFUND or VOID
  std::string Amount;          // decimal text, "." as separator
  std::string Currency;        // empty: the profile's
  std::string Tip;
  bool AskTip = false;
  std::string TokenReference;  // non-empty: tokenise the card under this reference
  std::string Reference;       // the sale reference; empty: the driver makes one
  std::string PaymentId;       // refund and void: the payment's RefundReference ...
  std::string PaymentTime;     // ... and PaymentDateTime; empty: the last approved sale
  std::string Width;           // receipt width; empty: the profile's
  bool ExpectDecline = false;  // a decline is the expected outcome (a demonstration of one)
};

class FriendlySession {
 public:
  FriendlySession(Context& aContext, DeviceProfile aProfile) : fContext(aContext), fProfile(std::move(aProfile)) {}
  FriendlySession(const FriendlySession&) = delete;
  FriendlySession& operator=(const FriendlySession&) = delete;

  // Each answers the program's exit status for the command and prints what happened.
  int Open();
  int Pay(const PaymentOrder& aOrder);
  int Close(int aHandle);  // aHandle 0: the session's device
  // The outcome (or only the receipts) of the last transaction, or of the one sent with the
  // ServiceID aReceiptId; aReversal: that one was a refund or void.
  int Verify(const std::string& aReceiptId, bool aReversal, const std::string& aWidth);
  int Reprint(const std::string& aReceiptId, const std::string& aWidth);
  // The running totals (aClose false) or the day close with its report.
  int Totals(bool aClose);

  void SetHandle(int aHandle) { fHandle = aHandle; }

 private:
  std::string Node(const std::string& aName, const std::string& aReceiptId, bool aReversal,
                   const std::string& aWidth) const;

  struct Sale {
    std::string Amount, Currency, PaymentId, PaymentTime;
  };

  Context& fContext;
  DeviceProfile fProfile;
  int fHandle = 0;
  std::optional<Sale> fLastSale;
};

// Throws std::invalid_argument unless aAmount is a plain decimal amount ("12.50", "3", "0.5").
void CheckAmount(const std::string& aFlag, const std::string& aAmount);

}  // namespace vxpa
