#pragma once
// The eight command wrappers. Each holds its result record (fResult) and renders it as its
// result document.
#include "entry/uVXPaymentWrapper.h"
#include "entry/uVXPaymentWrapper_Documents.h"
#include "payment/uVxPayment_Results.h"

// The part every wrapper shares: the record and its rendering.
template <class TResult>
class kPaymentWrapperOf : public kPaymentWrapper {
 public:
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override {
    aOutput = ResultDocument(fResult);
    aErrorMessage = fResult.ErrorText;
    aResult = fResult.Error ? -1 : 0;
  }
  const TResult& Result() const { return fResult; }

 protected:
  TResult fResult;
};

class kPaymentWrapper_PAY final : public kPaymentWrapperOf<_int_PAY_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

class kPaymentWrapper_VERIFYTRAN final : public kPaymentWrapperOf<_int_PAY_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

class kPaymentWrapper_REPRINT final : public kPaymentWrapperOf<_int_REPRINT_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

class kPaymentWrapper_DAYCLOSE final : public kPaymentWrapperOf<_int_DAYCLOSE_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

class kPaymentWrapper_GETTOTALS final : public kPaymentWrapperOf<_int_GETTOTALS_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

class kPaymentWrapper_OPEN final : public kPaymentWrapperOf<_int_OPEN_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

// A failed CLOSE answers Error true with the reason in ErrorText; the registry is unchanged.
class kPaymentWrapper_CLOSE final : public kPaymentWrapperOf<_int_CLOSE_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};

// Answers its starting values with Error false; the request is not read.
class kPaymentWrapper_GETSTATUS final : public kPaymentWrapperOf<_int_GETSTATUS_result> {
 public:
  void ResetResult() override;
  void Process(std::u16string_view aXml) override;
};
