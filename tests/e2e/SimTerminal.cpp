#include "SimTerminal.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vxtest {
namespace {

std::string FixtureDir() {
  if (const char* dir = std::getenv("VXPA_E2E_SIM_DIR"); dir != nullptr && *dir != '\0') return dir;
  return VXPA_E2E_SIM_DIR;
}

std::string ReadText(const std::filesystem::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

SimTerminal::SimTerminal(SimScheme aScheme) : fDir(FixtureDir()), fScheme(aScheme == SimScheme::Https ? "https" : "http") {
  const std::filesystem::path base(fDir);
  const std::string port = ReadText(base / (fScheme + ".port"));
  if (!std::filesystem::exists(base / (fScheme + ".pid")) || port.empty()) {
    throw std::runtime_error("the " + fScheme + " terminal simulator is not running in " + fDir +
                             " (ctest starts it; by hand: cmake/terminal-sim-fixture.sh start DIR build/terminal-sim)");
  }
  fPort = static_cast<uint16_t>(std::stoi(port));
}

std::u16string SimTerminal::Url() const {
  const std::string url = fScheme + "://127.0.0.1:" + std::to_string(fPort);
  return std::u16string(url.begin(), url.end());
}

void SimTerminal::Arrange(const Json& aScenarios) const {
  Json control = Json::array({{{"reset", "scenarios"}}});
  if (aScenarios.is_array()) {
    for (const Json& item : aScenarios) control.push_back(item);
  } else {
    control.push_back(aScenarios);
  }
  // Written aside and renamed into place: the simulator never reads half a file.
  const std::filesystem::path base(fDir);
  const std::filesystem::path pending = base / (fScheme + ".control.new");
  const std::filesystem::path target = base / (fScheme + ".control");
  {
    std::ofstream out(pending, std::ios::binary | std::ios::trunc);
    out << control.dump();
    if (!out) throw std::runtime_error("cannot write " + pending.string());
  }
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  std::filesystem::rename(pending, target);
}

int64_t SimTerminal::LastSeq() const {
  const std::vector<Json> all = RequestsSince(0);
  return all.empty() ? 0 : all.back().at("seq").get<int64_t>();
}

std::vector<Json> SimTerminal::RequestsSince(int64_t aSeq) const {
  std::vector<Json> entries;
  std::ifstream in(std::filesystem::path(fDir) / (fScheme + ".requests"), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    Json entry = Json::parse(line, nullptr, false);
    if (entry.is_object() && entry.value("seq", int64_t{0}) > aSeq) entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace vxtest
