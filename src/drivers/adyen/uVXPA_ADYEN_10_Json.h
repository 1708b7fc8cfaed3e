#pragma once
// JSON access for the terminal's messages: an insertion-ordered document model (members are
// written in the order they were added), compact text in both directions, and kJSONUtils, the
// forgiving dotted-path reader through which every answer is read.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/uVX_Currency.h"

using tJson = nlohmann::ordered_json;

// Path syntax: member names joined by "."; "[n]" right after a member name (repeatable) selects
// element n, counted from 0, of the array held there: "SaleToPOIResponse.MessageHeader",
// "EntryMode[0]", "errors[0]". No operation raises: a missing start object, a missing member, an
// index out of range or a value of another type all give the default named below.
class kJSONUtils {
 public:
  kJSONUtils() = delete;

  // The text of a string value, or a number's text; empty otherwise.
  static std::u16string GetString(const tJson* aObject, std::u16string_view aPath);
  // The value of true or false; false otherwise.
  static bool GetBoolean(const tJson* aObject, std::u16string_view aPath);
  // The object at the path, still owned by its document; nullptr otherwise.
  static const tJson* GetObject(const tJson* aObject, std::u16string_view aPath);
  // The array at the path, still owned by its document; nullptr otherwise.
  static const tJson* GetArray(const tJson* aObject, std::u16string_view aPath);

  // The value at the path whatever its type, or nullptr.
  static const tJson* Find(const tJson* aObject, std::u16string_view aPath);
};

namespace adyen {

// Parses UTF-16 text (sent as UTF-8) as JSON. Text that is not JSON gives a discarded value,
// which every kJSONUtils read treats as missing. Never throws.
tJson ParseJson(std::u16string_view aText);

// Compact text: no white space between tokens, members in insertion order, non-ASCII characters
// as they are (the wire is UTF-8). Never throws.
std::u16string JsonToText(const tJson& aValue);

// A JSON string value holding aText.
tJson JsonText(std::u16string_view aText);

// A JSON number whose text is the amount's shortest decimal form (12.5, 10, 0.35).
tJson JsonAmount(tVX_Currency aAmount);

}  // namespace adyen
