#pragma once
// The I/O handler of an HTTP device: it keeps the device's URL and credentials and posts text to
// it. Devices that speak a protocol over HTTP use it for the URL, the log and the custom error and
// send their requests through their own HTTP client.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/uVXIOHandler.h"
#include "platform/HttpClient.h"

class kIOHandler_HTTP : public kIOHandler {
 public:
  // aConnection may be null. With one: fURL := its URL, or else its Address followed by ":" and
  // the Port when the Port is above 0; AuthType, User and Password are copied.
  kIOHandler_HTTP(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName);
  ~kIOHandler_HTTP() override;

  bool Connected() override;  // always false: no connection is kept between posts
  bool Connect() override;    // the banner and "URL=" + fURL; opens nothing
  bool Disconnect() override;
  void ClearBuffers() override;
  // POSTs aMessage as UTF-8 to fURL. True for a 2xx answer. Otherwise ResponseCode holds the
  // answer's status (999 when no answer came) and the custom error is set; never throws.
  bool Write(std::u16string_view aMessage) override;
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;  // empty text
  std::u16string ReadChars(int32_t aCharsNum) override;                  // empty text
  std::u16string ReadAll() override;  // throws "ReadAll Unsupported"
  std::u16string DecodeError(int32_t aErrorCode) override;  // the status text ("Not Found")
  bool InputBufferContainsData() override;  // throws "InputBufferContainsData Unsupported"
  // Adds the request header aName, or replaces its value when it is already set.
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;

  // Target of Write; a device driver may extend it (a path after the host, say).
  std::u16string fURL;

  const std::u16string& ContentType() const { return fContentType; }
  void SetContentType(std::u16string_view aValue) { fContentType = aValue; }
  vxHTTPAuthType AuthType() const { return fAuthType; }
  void SetAuthType(vxHTTPAuthType aValue) { fAuthType = aValue; }
  const std::u16string& User() const { return fUser; }
  void SetUser(std::u16string_view aValue) { fUser = aValue; }
  const std::u16string& Password() const { return fPassword; }
  void SetPassword(std::u16string_view aValue) { fPassword = aValue; }
  // Body of the last answer (empty when none came).
  const std::u16string& Response() const { return fResponse; }
  void SetResponse(std::u16string_view aValue) { fResponse = aValue; }
  // Status of the last answer, or 999 when none came.
  int32_t ResponseCode() const { return fResponseCode; }
  void SetResponseCode(int32_t aValue) { fResponseCode = aValue; }

 private:
  // The HTTP client settings kept between posts.
  struct tHttpClientSettings {
    int32_t connectTimeout = 0;                 // milliseconds
    std::vector<port::HttpHeader> headers;      // custom request headers, by SetParameter
  };

  tHttpClientSettings fHttpClient;
  std::u16string fContentType;
  vxHTTPAuthType fAuthType = vxHTTPAuthType::at_None;
  std::u16string fUser;
  std::u16string fPassword;
  std::u16string fResponse;
  int32_t fResponseCode = 0;
};
