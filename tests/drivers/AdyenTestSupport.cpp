#include "AdyenTestSupport.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/uVX_Base.h"
#include "platform/Utf8.h"

namespace vxtest {

namespace {

// The module creates the application object when it loads; a device reads its version from it.
// This test program stands in for the module's loader.
class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { CreateTheApplication(); }
  void TearDown() override { FreeTheApplication(); }
};

[[maybe_unused]] ::testing::Environment* const gApplication =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace

std::u16string AdyenRequest(const std::u16string& aUrl, const ParameterMap& aParameters, const std::u16string& aCommand,
                            const std::u16string& aConnectionType) {
  std::u16string xml = u"<Request><Driver>VXPA_ADYEN_10</Driver><LogId>drivertest</LogId><Connection><Type>" +
                       aConnectionType + u"</Type><URL>" + aUrl + u"</URL><Address>127.0.0.1</Address><Port>1</Port>"
                       u"<ConnectTimeout>3000</ConnectTimeout><ReadTimeout>3000</ReadTimeout></Connection><Parameters>";
  for (const auto& [name, value] : aParameters) xml += u"<" + name + u">" + value + u"</" + name + u">";
  return xml + u"</Parameters>" + aCommand + u"</Request>";
}

ParameterMap DefaultParameters(const std::u16string& aSecret, const std::u16string& aKeyIdentifier, int aKeyVersion,
                               const std::u16string& aPOIID) {
  return {{u"POIID", aPOIID},
          {u"KeyIdentifier", aKeyIdentifier},
          {u"KeyVersion", port::FromUtf8(std::to_string(aKeyVersion))},
          {u"Secret", aSecret}};
}

std::u16string PaymentElement(const std::u16string& aInner) { return u"<Payment>" + aInner + u"</Payment>"; }

std::unique_ptr<kPaymentHandler> ReadRequest(const std::u16string& aXml, vxPaymentHandlerDocumentType aType) {
  auto handler = std::make_unique<kPaymentHandler>();
  handler->Deserialize(aXml, {aType});
  return handler;
}

std::string ReadLog(const std::u16string& aFileName) {
  std::ifstream in(port::ToUtf8(aFileName), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vxtest
