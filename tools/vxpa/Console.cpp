#include "Console.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Utf8.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace vxpa {

void PrepareConsole() {
#if defined(_WIN32)
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

std::u16string DecodeDocument(std::string_view aBytes) {
  auto starts = [&](std::string_view aMark) { return aBytes.substr(0, aMark.size()) == aMark; };
  if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
    bool little = starts("\xFF\xFE");
    std::u16string text;
    for (size_t i = 2; i + 1 < aBytes.size(); i += 2) {
      auto lo = static_cast<unsigned char>(aBytes[little ? i : i + 1]);
      auto hi = static_cast<unsigned char>(aBytes[little ? i + 1 : i]);
      text.push_back(static_cast<char16_t>(hi << 8 | lo));
    }
    return text;
  }
  if (starts("\xEF\xBB\xBF")) aBytes.remove_prefix(3);
  return port::FromUtf8(aBytes);
}

std::u16string ReadRequest(const std::string& aSource) {
  std::string bytes;
  if (aSource == "-") {
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes.append(buffer, count);
  } else {
    std::ifstream in(std::filesystem::path(std::u8string(aSource.begin(), aSource.end())), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + aSource);
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
  }
  return DecodeDocument(bytes);
}

void Write(std::FILE* aStream, std::string_view aUtf8) {
  std::fwrite(aUtf8.data(), 1, aUtf8.size(), aStream);
  std::fflush(aStream);
}

void Write(std::FILE* aStream, std::u16string_view aText) { Write(aStream, port::ToUtf8(aText)); }

}  // namespace vxpa
