#pragma once
// The strict checks a terminal makes on a request once it is decrypted: header, envelope and
// the members of each body. Every check answers "" when the request passes, otherwise a reason
// that the terminal sends back in the answer's AdditionalResponse.
#include <nlohmann/json.hpp>

#include <initializer_list>
#include <string>

namespace termsim {

using Json = nlohmann::ordered_json;

enum class JsonKind : uint8_t { String, Text, Number, Boolean, Object, Array };  // Text: non-empty string

struct MemberRule {
  const char* name;
  JsonKind kind;
  bool optional = false;
};

// aObject must be an object holding the members of aRules (optional ones may be absent) and no
// others, in the rules' order when aOrdered. aPath names the object in the reason.
std::string CheckMembers(const Json& aObject, const std::string& aPath, std::initializer_list<MemberRule> aRules,
                         bool aOrdered = true);

// The seven header members in their order, all strings, with the values this terminal accepts.
std::string CheckHeader(const Json& aHeader, const std::string& aPoiid);

// aRequest: the value of SaleToPOIRequest; it must hold MessageHeader and the body member of the
// header's category, in this order, and the body must be what that category carries.
std::string CheckRequestBody(const std::string& aCategory, const Json& aRequest, const std::string& aPoiid);

// The amount of a JSON number (ten-thousandths); false when it is not a plain non-negative
// decimal with at most four decimals.
bool JsonAmount(const Json& aNumber, int64_t& aAmount);

}  // namespace termsim
