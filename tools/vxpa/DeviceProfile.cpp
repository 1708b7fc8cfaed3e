#include "DeviceProfile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace vxpa {
namespace {

std::string Trim(const std::string& aText) {
  const char* blanks = " \t\r\n";
  const size_t first = aText.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return aText.substr(first, aText.find_last_not_of(blanks) - first + 1);
}

std::string Lower(std::string aText) {
  for (char& c : aText) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return aText;
}

std::string Element(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + EscapeXml(aValue) + "</" + aName + ">";
}

}  // namespace

std::filesystem::path DeviceProfile::DefaultPath() {
  if (const char* named = std::getenv("VXPA_PROFILE"); named != nullptr && *named != '\0') {
    return std::filesystem::path(named);
  }
  return "vxpa.profile";
}

DeviceProfile DeviceProfile::Load(const std::filesystem::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  const std::string source = aPath.string();
  if (!in) {
    throw std::runtime_error("cannot read the device profile " + source +
                             " (name one with --profile FILE or the environment variable VXPA_PROFILE)");
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str(), source);
}

DeviceProfile DeviceProfile::Parse(const std::string& aText, const std::string& aSource) {
  DeviceProfile profile;
  const std::pair<const char*, std::string DeviceProfile::*> fields[] = {
      {"driver", &DeviceProfile::Driver},
      {"url", &DeviceProfile::URL},
      {"poiid", &DeviceProfile::POIID},
      {"keyidentifier", &DeviceProfile::KeyIdentifier},
      {"keyversion", &DeviceProfile::KeyVersion},
      {"secret", &DeviceProfile::Secret},
      {"logid", &DeviceProfile::LogId},
      {"storecode", &DeviceProfile::StoreCode},
      {"tillcode", &DeviceProfile::TillCode},
      {"currency", &DeviceProfile::Currency},
      {"receiptcolcount", &DeviceProfile::ReceiptColCount},
      {"printlocation", &DeviceProfile::PrintLocation},
  };
  std::istringstream lines(aText);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string content = Trim(line);
    if (content.empty() || content[0] == '#') continue;
    const size_t equals = content.find('=');
    const std::string where = aSource + " line " + std::to_string(number) + ": ";
    if (equals == std::string::npos) throw std::runtime_error(where + "expected Name = value");
    const std::string name = Lower(Trim(content.substr(0, equals)));
    bool known = false;
    for (const auto& [fieldName, field] : fields) {
      if (name == fieldName) {
        profile.*field = Trim(content.substr(equals + 1));
        known = true;
      }
    }
    if (!known) throw std::runtime_error(where + "unknown setting " + Trim(content.substr(0, equals)));
  }
  return profile;
}

std::string EscapeXml(const std::string& aText) {
  std::string escaped;
  for (char c : aText) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&apos;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string RequestDocument(const DeviceProfile& aProfile, int aHandle, const std::string& aCommandXml) {
  std::string xml = "<Request>" + Element("Driver", aProfile.Driver) + Element("LogId", aProfile.LogId);
  if (aHandle > 0) xml += Element("Handle", std::to_string(aHandle));
  xml += "<Connection>" + Element("Type", "HTTP") + Element("URL", aProfile.URL) + "</Connection>";
  xml += "<Parameters>" + Element("POIID", aProfile.POIID) + Element("KeyIdentifier", aProfile.KeyIdentifier) +
         Element("KeyVersion", aProfile.KeyVersion) + Element("Secret", aProfile.Secret) + "</Parameters>";
  return xml + aCommandXml + "</Request>";
}

}  // namespace vxpa
