#include "drivers/adyen/uVXPA_ADYEN_10_Json.h"

#include <cstdint>

#include "platform/Utf8.h"

namespace {

// One step of a path: a member name followed by zero or more element indexes.
struct tPathStep {
  std::string name;
  std::vector<int64_t> indexes;
};

// Splits "A.B[0].C" into its steps; false for a malformed index ("[x]", "[" without "]").
bool ParsePath(std::u16string_view aPath, std::vector<tPathStep>& aSteps) {
  size_t start = 0;
  while (true) {
    size_t dot = aPath.find(u'.', start);
    std::u16string_view part = aPath.substr(start, dot == std::u16string_view::npos ? std::u16string_view::npos : dot - start);
    tPathStep step;
    size_t bracket = part.find(u'[');
    step.name = port::ToUtf8(part.substr(0, bracket));
    while (bracket != std::u16string_view::npos) {
      size_t close = part.find(u']', bracket);
      if (close == std::u16string_view::npos || close == bracket + 1) return false;
      int64_t index = 0;
      for (size_t i = bracket + 1; i < close; ++i) {
        if (part[i] < u'0' || part[i] > u'9' || index > 100000000) return false;
        index = index * 10 + (part[i] - u'0');
      }
      step.indexes.push_back(index);
      bracket = close + 1 == part.size() ? std::u16string_view::npos : close + 1;
      if (bracket != std::u16string_view::npos && part[bracket] != u'[') return false;
    }
    aSteps.push_back(std::move(step));
    if (dot == std::u16string_view::npos) return true;
    start = dot + 1;
  }
}

}  // namespace

const tJson* kJSONUtils::Find(const tJson* aObject, std::u16string_view aPath) {
  try {
    std::vector<tPathStep> steps;
    if (aObject == nullptr || !ParsePath(aPath, steps)) return nullptr;
    const tJson* current = aObject;
    for (const tPathStep& step : steps) {
      if (!current->is_object()) return nullptr;
      auto member = current->find(step.name);
      if (member == current->end()) return nullptr;
      current = &*member;
      for (int64_t index : step.indexes) {
        if (!current->is_array() || index >= static_cast<int64_t>(current->size())) return nullptr;
        current = &(*current)[static_cast<size_t>(index)];
      }
    }
    return current;
  } catch (...) {
    return nullptr;
  }
}

std::u16string kJSONUtils::GetString(const tJson* aObject, std::u16string_view aPath) {
  try {
    const tJson* value = Find(aObject, aPath);
    if (value == nullptr) return {};
    if (value->is_string()) return port::FromUtf8(value->get_ref<const std::string&>());
    if (value->is_number()) return port::FromUtf8(value->dump());
    return {};
  } catch (...) {
    return {};
  }
}

bool kJSONUtils::GetBoolean(const tJson* aObject, std::u16string_view aPath) {
  const tJson* value = Find(aObject, aPath);
  return value != nullptr && value->is_boolean() && value->get<bool>();
}

const tJson* kJSONUtils::GetObject(const tJson* aObject, std::u16string_view aPath) {
  const tJson* value = Find(aObject, aPath);
  return value != nullptr && value->is_object() ? value : nullptr;
}

const tJson* kJSONUtils::GetArray(const tJson* aObject, std::u16string_view aPath) {
  const tJson* value = Find(aObject, aPath);
  return value != nullptr && value->is_array() ? value : nullptr;
}

namespace adyen {

tJson ParseJson(std::u16string_view aText) {
  return tJson::parse(port::ToUtf8(aText), nullptr, /*allow_exceptions=*/false);
}

std::u16string JsonToText(const tJson& aValue) {
  return port::FromUtf8(aValue.dump(-1, ' ', false, tJson::error_handler_t::replace));
}

tJson JsonText(std::u16string_view aText) { return tJson(port::ToUtf8(aText)); }

tJson JsonAmount(tVX_Currency aAmount) {
  // Parsing the decimal text gives an integer for whole amounts and otherwise the double nearest
  // to it, which the writer prints in its shortest round-trip form: the same decimal text.
  return tJson::parse(port::ToUtf8(aAmount.ToJsonNumberString()));
}

}  // namespace adyen
