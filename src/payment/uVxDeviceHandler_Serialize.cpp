// Writing the device configuration back as a document. The text is composed here rather than
// through the DOM port, whose serialised form differs between the platforms' parsers.
#include "base/uVX_Text.h"
#include "io/uVXIOHandler.h"
#include "io/uVXIOHandler_Connection.h"
#include "payment/uVxDeviceHandler.h"
#include "platform/Error.h"

namespace {

std::u16string EscapeText(std::u16string_view aText) {
  std::u16string out;
  out.reserve(aText.size());
  for (char16_t c : aText) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\r': out += u"&#13;"; break;  // a bare CR would be read back as LF
      default: out += c;
    }
  }
  return out;
}

// ASCII letters, digits, "_", "-", "." (not first); a parameter name read from a document
// always qualifies, one set through SetParameter need not.
bool IsElementName(std::u16string_view aName) {
  if (aName.empty()) return false;
  for (size_t i = 0; i < aName.size(); ++i) {
    char16_t c = aName[i];
    bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c > 0x7F;
    bool other = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return true;
}

class tElementWriter {
 public:
  void Add(std::u16string_view aName, std::u16string_view aValue) {
    fText += u"<" + std::u16string(aName) + u">" + EscapeText(aValue) + u"</" + std::u16string(aName) + u">";
  }
  void Add(std::u16string_view aName, int64_t aValue) { Add(aName, vxtext::IntToStr(aValue)); }
  void Open(std::u16string_view aName) { fText += u"<" + std::u16string(aName) + u">"; }
  void Close(std::u16string_view aName) { fText += u"</" + std::u16string(aName) + u">"; }
  std::u16string& Text() { return fText; }

 private:
  std::u16string fText;
};

}  // namespace

std::u16string kDeviceHandler::Serialize() const {
  tElementWriter w;
  w.Text() = u"<?xml version=\"1.0\" encoding=\"utf-8\"?><ReceiptPrinterManager Version=\"1.0\">";
  w.Add(u"Type", fType);
  w.Add(u"Driver", fDriver);
  w.Add(u"Method", fMethod);
  w.Add(u"LogId", fLogId);
  if (vxtext::LowerCase(fMethod) != u"open") w.Add(u"Handle", fDeviceHandle);

  const kConnection& c = *fConnection;
  w.Open(u"Connection");
  w.Add(u"Type", c.ConnectionTypeToString(c.ConnectionType()));
  w.Add(u"ConnectTimeout", c.ConnectTimeOut());
  w.Add(u"ReadTimeout", c.ReadTimeOut());
  w.Add(u"Address", c.Address());
  w.Add(u"Port", c.Port());
  w.Add(u"URL", c.URL());
  w.Add(u"AuthType", c.AuthTypeToString(c.AuthType()));
  w.Add(u"User", c.User());
  w.Add(u"Password", c.Password());
  w.Add(u"SerialPort", c.SerialPort());
  w.Add(u"Speed", c.Speed());
  w.Add(u"DataBits", c.DataBits());
  w.Add(u"Parity", c.ParityToString(c.Parity()));
  w.Add(u"StopBits", c.StopBits());
  w.Add(u"DeviceName", c.DeviceName());
  w.Add(u"LibraryName", c.LibraryName());
  w.Add(u"PrinterName", c.PrinterName());
  w.Close(u"Connection");

  w.Open(u"Parameters");
  for (const auto& line : fParameters) {
    auto eq = line.find(u'=');
    std::u16string_view name = std::u16string_view(line).substr(0, eq);
    std::u16string_view value = eq == std::u16string::npos ? std::u16string_view() : std::u16string_view(line).substr(eq + 1);
    if (!IsElementName(name)) throw tVX_Error(u"Parameter name " + std::u16string(name) + u" is not valid");
    w.Add(name, value);
  }
  w.Close(u"Parameters");
  w.Close(u"ReceiptPrinterManager");
  return std::move(w.Text());
}
