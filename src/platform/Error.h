#pragma once
// The one failure type of the module. Every layer reports a failure by throwing it with the exact
// message text that the host will see; the texts are part of the interface.
#include <exception>
#include <string>

class tVX_Error : public std::exception {
 public:
  explicit tVX_Error(std::u16string aMessage);
  const std::u16string& Message() const noexcept { return fMessage; }
  // UTF-8 copy of the message, for diagnostics only.
  const char* what() const noexcept override { return fUtf8.c_str(); }

 private:
  std::u16string fMessage;
  std::string fUtf8;
};
