#pragma once
// A device profile: the few settings a till needs to reach its payment terminal, kept in a small
// text file so that the friendly commands (vxpa pay --amount 12.50) can build the request
// documents for the user.
//
//   # the shop's terminal
//   URL           = http://127.0.0.1:8443
//   POIID         = SIM-00000001
//   KeyIdentifier = SimKey
//   KeyVersion    = 1
//   Secret        = terminal-sim secret
//   LogId         = TILL1
//   StoreCode     = SHOP1
//   TillCode      = TILL1
//
// One "Name = value" per line; blanks around the name and the value are dropped; lines starting
// with # are comments. Names are matched without regard to letter case.
#include <filesystem>
#include <string>
#include <vector>

namespace vxpa {

struct DeviceProfile {
  std::string Driver = "VXPA_ADYEN_10";
  std::string URL;            // the terminal's address; the driver appends /nexo
  std::string POIID;
  std::string KeyIdentifier;
  std::string KeyVersion;
  std::string Secret;
  std::string LogId;
  std::string StoreCode;
  std::string TillCode;
  std::string Currency = "EUR";   // used when a command names none
  std::string ReceiptColCount;    // receipt width; empty: the driver's default (32)
  std::string PrintLocation;      // ECR (the till prints, default) or EFT (the terminal prints)

  // The profile file named by --profile, else by the environment variable VXPA_PROFILE, else
  // vxpa.profile in the current folder.
  static std::filesystem::path DefaultPath();

  // Reads a profile file. Throws std::runtime_error naming the file and line for an unreadable
  // file, a line without "=", or an unknown name (so that a typo is not silently ignored).
  static DeviceProfile Load(const std::filesystem::path& aPath);
  // The same from the file's text; aSource names it in messages.
  static DeviceProfile Parse(const std::string& aText, const std::string& aSource);
};

// The five XML characters escaped.
std::string EscapeXml(const std::string& aText);

// A whole request document: the device configuration of aProfile (with Handle when aHandle is
// positive) followed by aCommandXml, the command's node (already escaped).
std::string RequestDocument(const DeviceProfile& aProfile, int aHandle, const std::string& aCommandXml);

}  // namespace vxpa
