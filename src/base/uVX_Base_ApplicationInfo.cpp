// tVX_ApplicationInfo: the version table of the module's string table.
#include "base/uVX_Base.h"
#include "base/uVX_Text.h"
#include "platform/Error.h"
#include "platform/StringTable.h"

namespace {

constexpr int kMaxStringLength = 1024;

// Characters aFrom..aFrom+aCount-1 (from 1) as an integer, or 1 when they are not one.
int DatePart(std::u16string_view aText, size_t aFrom, size_t aCount) {
  int32_t value = 0;
  if (aFrom - 1 >= aText.size() || !vxtext::TryStrToInt(aText.substr(aFrom - 1, aCount), value)) return 1;
  return value;
}

}  // namespace

void tVX_ApplicationInfo::Load() {
  Load([](unsigned aId) { return port::LoadModuleString(aId, kMaxStringLength); });
}

void tVX_ApplicationInfo::Load(const tVX_StringSource& aStrings) {
  fDescription.clear();
  fCopyright.clear();
  fVersion.clear();
  fReleaseDate = 0;
  fHistory.clear();
  tVX_ApplicationHistory* open = nullptr;
  int misses = 0;
  for (unsigned id = kFirstStringId; misses <= kMaxMissingIds; ++id) {
    std::u16string text = aStrings(id);
    if (text.empty()) {
      ++misses;
      continue;
    }
    misses = 0;
    Process(text, open);
  }
}

void tVX_ApplicationInfo::Process(std::u16string_view aString, tVX_ApplicationHistory*& aOpen) {
  size_t equals = aString.find(u'=');
  std::u16string key = vxtext::UpperCase(aString.substr(0, equals));
  std::u16string value(equals == std::u16string_view::npos ? std::u16string_view() : aString.substr(equals + 1));
  if (key == u"$APPDESCRIPTION") {
    fDescription = value;
  } else if (key == u"$COPYRIGHT") {
    fCopyright = value;
  } else if (key == u"$VERSION") {
    fVersion = value;
    fHistory.push_back(std::make_unique<tVX_ApplicationHistory>(value));
    aOpen = fHistory.back().get();
  } else if (aOpen == nullptr) {
    return;  // entry details before the first version belong to no entry
  } else if (key == u"$AUTHOR") {
    aOpen->SetAuthor(value);
  } else if (key == u"$RELEASEDATE") {
    // DD/MM/YYYY
    tDateTime date = 0;
    if (!vxdate::TryEncodeDate(DatePart(value, 7, 4), DatePart(value, 4, 2), DatePart(value, 1, 2), date))
      throw tVX_Error(u"Invalid release date in the version table: " + value);
    fReleaseDate = date;
    aOpen->SetReleaseDate(date);
  } else if (key == u"$PTEXT" || key == u"$TEXT") {
    aOpen->AddText(value);
  }
}

std::u16string tVX_ApplicationInfo::VersionString() const {
  return u"[" + fVersion + u" - " + FormatShortDate(fReleaseDate) + u"]";
}
