#pragma once
// A till as the end-to-end tests drive it: the device configuration of one terminal simulator,
// the device it opened through OPEN, and the request documents and result documents of its
// commands, all through the module's exports.
#include <map>
#include <string>
#include <string_view>

#include "HostModule.h"
#include "SimTerminal.h"

namespace vxtest {

// One element with its text escaped.
std::u16string Element(std::u16string_view aName, std::u16string_view aValue);
std::u16string Widen(std::string_view aAscii);
std::string Narrow(std::u16string_view aText);     // to UTF-8
std::u16string FromUtf8(std::string_view aText);  // from UTF-8 (valid input)

// A result document (a sequence of <Name>value</Name> elements) read back by name.
class ResultDoc {
 public:
  ResultDoc() = default;
  explicit ResultDoc(const vxpa::HostModule::Answer& aAnswer);
  // The unescaped value; empty when the element is missing (Has tells).
  std::u16string operator[](std::string_view aName) const;
  std::string Text(std::string_view aName) const { return Narrow((*this)[aName]); }
  bool Has(std::string_view aName) const { return fFields.contains(std::string(aName)); }
  int16_t Code() const { return fCode; }
  const std::u16string& Document() const { return fDocument; }

 private:
  std::u16string fDocument;
  std::map<std::string, std::u16string> fFields;
  int16_t fCode = 0;
};

struct TillSettings {
  std::u16string Url;  // empty: the simulator's
  std::u16string LogId;
  std::u16string POIID = SimTerminal::kPOIID;
  std::u16string KeyIdentifier = SimTerminal::kKeyIdentifier;
  std::u16string KeyVersion = SimTerminal::kKeyVersion;
  std::u16string Secret = SimTerminal::kSecret;
  std::u16string StoreCode = u"SHOP1";
  std::u16string TillCode = u"TILL1";
};

class Till {
 public:
  Till(const SimTerminal& aSim, TillSettings aSettings);
  // Closes the device if it is still open.
  ~Till();
  Till(const Till&) = delete;
  Till& operator=(const Till&) = delete;

  // OPEN; answers the result (the handle is kept when it succeeded).
  ResultDoc Open();
  // CLOSE of the till's device.
  ResultDoc Close();
  int Handle() const { return fHandle; }

  // A whole request: the configuration (with the handle once open) and aCommandXml.
  std::u16string Request(std::u16string_view aCommandXml) const;
  // PAY with a Payment node holding the store and till codes and aPaymentChildren.
  ResultDoc Pay(std::u16string_view aPaymentChildren) const;
  // A sale of aAmount EUR (plus aMore elements of the Payment node).
  ResultDoc Sale(std::u16string_view aAmount, std::u16string_view aMore = u"") const;
  // A refund or void (aAction REFUND or VOID) of the sale that answered aSale.
  ResultDoc Reverse(std::u16string_view aAction, const ResultDoc& aSale, std::u16string_view aAmount,
                    std::u16string_view aMore = u"") const;

  // VERIFYTRAN and REPRINT with a VerifyTran or Reprint node holding the store and till codes and
  // aChildren (ReceiptId, Action, Currency, ...).
  ResultDoc VerifyTran(std::u16string_view aChildren = u"") const;
  ResultDoc Reprint(std::u16string_view aChildren = u"") const;
  // DAYCLOSE and GETTOTALS for the till's store and till codes.
  ResultDoc DayClose() const;
  ResultDoc GetTotals() const;

  const TillSettings& Settings() const { return fSettings; }

 private:
  // aExport with an aNode element holding the store and till codes and aChildren.
  ResultDoc Command(std::string_view aExport, std::u16string_view aNode, std::u16string_view aChildren) const;

  TillSettings fSettings;
  int fHandle = 0;
};

// The lines of a receipt text (CR LF after each line, the last one too).
std::vector<std::u16string> ReceiptLines(std::u16string_view aReceipt);

}  // namespace vxtest
