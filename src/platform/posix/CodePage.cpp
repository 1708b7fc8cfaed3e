// Code pages through glibc's iconv. Windows code page n is looked up as "CPn", then as
// "WINDOWS-n", then under the few names glibc uses instead of either.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace port {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::vector<std::string> NamesOf(uint32_t aCodePage) {
  std::vector<std::string> names{"CP" + std::to_string(aCodePage), "WINDOWS-" + std::to_string(aCodePage)};
  switch (aCodePage) {
    case 65001: names.insert(names.begin(), "UTF-8"); break;
    case 20127: names.insert(names.begin(), "ASCII"); break;
    case 950: names.push_back("BIG5"); break;
    case 949: names.push_back("UHC"); break;
    case 20866: names.push_back("KOI8-R"); break;
    case 21866: names.push_back("KOI8-U"); break;
    default:
      if (aCodePage >= 28591 && aCodePage <= 28605) names.push_back("ISO-8859-" + std::to_string(aCodePage - 28590));
      break;
  }
  return names;
}

class Converter {
 public:
  Converter(uint32_t aCodePage, bool aToCodePage) {
    for (const auto& name : NamesOf(aCodePage)) {
      fHandle = aToCodePage ? iconv_open(name.c_str(), "UTF-16LE") : iconv_open("UTF-16LE", name.c_str());
      if (fHandle != kNoConverter) return;
    }
    throw tVX_Error(u"Code page " + FromUtf8(std::to_string(aCodePage)) + u" is not supported");
  }
  ~Converter() { iconv_close(fHandle); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts aIn; on an input sequence the target cannot take, appends aReplacement and skips
  // aSkip(position) input bytes.
  template <typename SkipFn>
  std::string Run(std::string_view aIn, std::string_view aReplacement, SkipFn aSkip) {
    std::string out;
    std::vector<char> buffer(aIn.size() * 2 + 16);
    char* in = const_cast<char*>(aIn.data());
    size_t inLeft = aIn.size();
    while (inLeft > 0) {
      char* outPtr = buffer.data();
      size_t outLeft = buffer.size();
      size_t rc = iconv(fHandle, &in, &inLeft, &outPtr, &outLeft);
      int err = errno;
      out.append(buffer.data(), buffer.size() - outLeft);
      if (rc != static_cast<size_t>(-1)) break;
      if (err == E2BIG) continue;
      out.append(aReplacement);
      size_t skip = aSkip(std::string_view(in, inLeft));
      if (err == EINVAL || skip >= inLeft) break;  // an incomplete sequence at the end
      in += skip;
      inLeft -= skip;
    }
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    iconv(fHandle, nullptr, nullptr, &outPtr, &outLeft);  // flush any shift state
    out.append(buffer.data(), buffer.size() - outLeft);
    return out;
  }

 private:
  iconv_t fHandle = kNoConverter;
};

}  // namespace

std::string EncodeSystemCodePage(std::u16string_view aText, uint32_t aCodePage) {
  Converter converter(aCodePage, true);
  std::string in(aText.size() * 2, '\0');
  for (size_t i = 0; i < aText.size(); ++i) {
    in[2 * i] = static_cast<char>(aText[i] & 0xFF);
    in[2 * i + 1] = static_cast<char>(aText[i] >> 8);
  }
  // A code unit the code page cannot show becomes '?' (so a surrogate pair gives two, as on Windows).
  return converter.Run(in, "?", [](std::string_view) -> size_t { return 2; });
}

std::u16string DecodeSystemCodePage(std::string_view aBytes, uint32_t aCodePage) {
  Converter converter(aCodePage, false);
  // A byte that is not valid in the code page becomes U+FFFD.
  std::string wide = converter.Run(aBytes, std::string("\xFD\xFF", 2), [](std::string_view) -> size_t { return 1; });
  std::u16string out(wide.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(wide[2 * i]) |
                                   (static_cast<unsigned char>(wide[2 * i + 1]) << 8));
  return out;
}

uint32_t AnsiCodePage() { return 1252; }

}  // namespace port
