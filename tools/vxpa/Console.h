#pragma once
// Reading request documents and writing text for the host program: request files in UTF-8 or
// UTF-16 (by byte order mark), output as UTF-8 bytes, unchanged on every platform.
#include <cstdio>
#include <string>
#include <string_view>

namespace vxpa {

// Puts standard input and output into binary mode (Windows would otherwise rewrite line ends).
void PrepareConsole();

// The request document in aSource: a file name, or "-" for standard input. Throws
// std::runtime_error when the file cannot be read.
std::u16string ReadRequest(const std::string& aSource);

// Decodes a document's bytes: UTF-16 (either byte order) after its byte order mark, else UTF-8
// (a UTF-8 byte order mark is dropped).
std::u16string DecodeDocument(std::string_view aBytes);

void Write(std::FILE* aStream, std::u16string_view aText);
void Write(std::FILE* aStream, std::string_view aUtf8);

}  // namespace vxpa
