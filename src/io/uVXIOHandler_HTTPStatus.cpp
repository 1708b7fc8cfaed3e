// The texts of the HTTP status codes, for kIOHandler_HTTP::DecodeError.
#include <iterator>
#include <utility>

#include "io/uVXIOHandler_HTTP.h"

namespace {

const std::pair<int32_t, const char16_t*> kStatusTexts[] = {
    {100, u"Continue"},
    {101, u"Switching Protocol"},
    {102, u"Processing (WebDAV)"},
    {200, u"OK"},
    {201, u"Created"},
    {202, u"Accepted"},
    {203, u"Non-Authoritative Information"},
    {204, u"No Content"},
    {205, u"Reset Content"},
    {206, u"Partial Content"},
    {207, u"Multi-Status (WebDAV)"},
    {208, u"Already Reported (WebDAV)"},
    {226, u"IM Used (HTTP Delta encoding)"},
    {300, u"Multiple Choice"},
    {301, u"Moved Permanently"},
    {302, u"Found"},
    {303, u"See Other"},
    {304, u"Not Modified"},
    {305, u"Use Proxy "},
    {306, u"unused"},
    {307, u"Temporary Redirect"},
    {308, u"Permanent Redirect"},
    {400, u"Bad Request"},
    {401, u"Unauthorized"},
    {402, u"Payment Required"},
    {403, u"Forbidden"},
    {404, u"Not Found"},
    {405, u"Method Not Allowed"},
    {406, u"Not Acceptable"},
    {407, u"Proxy Authentication Required"},
    {408, u"Request Timeout"},
    {409, u"Conflict"},
    {410, u"Gone"},
    {411, u"Length Required"},
    {412, u"Precondition Failed"},
    {413, u"Payload Too Large"},
    {414, u"URI Too Long"},
    {415, u"Unsupported Media Type"},
    {416, u"Requested Range Not Satisfiable"},
    {417, u"Expectation Failed"},
    {418, u"I'm a teapot"},
    {421, u"Misdirected Request"},
    {422, u"Unprocessable Entity (WebDAV)"},
    {423, u"Locked (WebDAV)"},
    {424, u"Failed Dependency (WebDAV)"},
    {426, u"Upgrade Required"},
    {428, u"Precondition Required"},
    {429, u"Too Many Requests"},
    {431, u"Request Header Fields Too Large"},
    {451, u"Unavailable For Legal Reasons"},
    {500, u"Internal Server Error"},
    {501, u"Not Implemented"},
    {502, u"Bad Gateway"},
    {503, u"Service Unavailable"},
    {504, u"Gateway Timeout"},
    {505, u"HTTP Version Not Supported"},
    {506, u"Variant Also Negotiates"},
    {507, u"Insufficient Storage"},
    {508, u"Loop Detected (WebDAV)"},
    {510, u"Not Extended"},
    {511, u"Network Authentication Required"},
};
static_assert(std::size(kStatusTexts) == 61);

}  // namespace

std::u16string kIOHandler_HTTP::DecodeError(int32_t aErrorCode) {
  for (const auto& [code, text] : kStatusTexts)
    if (code == aErrorCode) return text;
  return u"Unknown";
}
