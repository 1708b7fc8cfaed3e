#pragma once
// The result records that pass between the command wrappers, the device base and the drivers.
// Plain values: a default-constructed record has every text empty, every number, amount and
// date-time zero and every flag false; the wrappers set their own starting values.
#include <cstdint>
#include <string>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "payment/uVXPaymentDefs.h"

struct _int_OPEN_result {
  int32_t Handle = 0;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

struct _int_CLOSE_result {
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

// No device operation fills it: GETSTATUS answers its starting values.
struct _int_GETSTATUS_result {
  bool DayOpened = false;
  tDateTime DateTime = 0;
  bool PaperEnd = false;
  bool PaperNearEnd = false;
  bool CoverOpen = false;
  bool FiscalReceiptOpen = false;
  bool ReceiptOpen = false;
  bool TrainingMode = false;
  std::u16string FirmwareVersion;
  std::u16string SerialNumber;
  std::u16string FiscalMode;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

// The outcome of PAY and VERIFYTRAN.
struct _int_PAY_result {
  std::u16string DeviceId;                 // terminal that ran the transaction
  tDateTime PaymentDateTime = 0;
  std::u16string PaymentNumber;            // the transaction's identifier
  tVX_Currency PaymentAmount;
  std::u16string PaymentCurrency;
  std::u16string MaskedPAN;
  std::u16string SerialNumber;
  vxPaymentTransactionType TransactionType = vxPaymentTransactionType::ptt_Chip;
  vxPaymentNetwork PaymentNetwork = vxPaymentNetwork::Bank;
  std::u16string AuthCode;
  std::u16string TraceAuditId;
  tVX_Currency ExchangeRate;               // when the card was charged in another currency
  tVX_Currency PaymentAmountCurrency;      // amount in that other currency
  std::u16string PaymentCurrencyCurrency;  // code of that other currency
  tVX_Currency TippedAmount;
  tVX_Currency RemainingBalance;           // left on a prepaid or voucher card
  int32_t NumberOfItems = 0;
  tVX_Currency SingleItemAmount;
  bool SignatureRequested = false;
  std::u16string CustomerCountryCode;
  std::u16string CardToken;
  std::u16string RefundReference;          // to quote in a later refund or void
  std::u16string ReceiptText;              // customer receipt, ready to print
  std::u16string CashierReceiptText;       // merchant receipt, ready to print
  std::u16string RawResponse;              // the terminal's answer; kept, never rendered
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;              // device log in use when the command started
};

struct _int_REPRINT_result {
  std::u16string ReceiptText;
  std::u16string CashierReceiptText;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

struct _int_DAYCLOSE_result {
  std::u16string DeviceId;
  tDateTime ClosureDateTime = 0;
  std::u16string ClosureNumber;
  int32_t TransactionsCount = 0;
  tVX_Currency TotalAmount;
  std::u16string Currency;
  std::u16string ReceiptText;  // the closure report
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

struct _int_GETTOTALS_result {
  std::u16string DeviceId;
  tDateTime DateTime = 0;
  int32_t TransactionsCount = 0;
  tVX_Currency TotalAmount;
  std::u16string Currency;
  std::u16string ReceiptText;  // the totals report
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};
