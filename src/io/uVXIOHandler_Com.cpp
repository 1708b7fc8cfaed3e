#include "io/uVXIOHandler_Com.h"

#include "platform/Error.h"

kIOHandler_Com::kIOHandler_Com(const kConnection* aConnection, std::u16string_view aDirectory,
                               std::u16string_view aFileName)
    : kIOHandler(u"kIOHandler_Com", aConnection, aDirectory, aFileName) {}

bool kIOHandler_Com::Connected() { return true; }
bool kIOHandler_Com::Disconnect() { return true; }
void kIOHandler_Com::ClearBuffers() {}
bool kIOHandler_Com::Write(std::u16string_view) { return false; }
std::u16string kIOHandler_Com::ReadUpTo(const std::vector<uint8_t>&) { return u""; }
std::u16string kIOHandler_Com::ReadChars(int32_t) { return u""; }
std::u16string kIOHandler_Com::ReadAll() { throw tVX_Error(u"ReadAll Unsupported"); }
std::u16string kIOHandler_Com::DecodeError(int32_t) { return u""; }
bool kIOHandler_Com::InputBufferContainsData() { throw tVX_Error(u"InputBufferContainsData Unsupported"); }
void kIOHandler_Com::SetParameter(std::u16string_view, std::u16string_view) {}
