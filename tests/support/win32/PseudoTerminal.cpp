#include "support/PseudoTerminal.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/win32/UnixCommand.h"

namespace vxtest {
namespace {

using wine::Exists;
using wine::OnZ;
using wine::Prefix;
using wine::RunUnix;
using wine::StartUnix;
using wine::UnderWine;

std::string LinkPath(uint32_t aCom) { return Prefix() + "/dosdevices/com" + std::to_string(aCom); }

class WinePseudoTerminal final : public PseudoTerminal {
 public:
  WinePseudoTerminal(uint32_t aCom, uint32_t aPeerCom) : fCom(aCom), fPeerCom(aPeerCom) {
    fPidFile = Prefix() + "/vx-socat-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(aCom);
  }
  ~WinePseudoTerminal() override {
    if (fPeer != INVALID_HANDLE_VALUE) CloseHandle(fPeer);
    std::ifstream in(OnZ(fPidFile));
    long pid = 0;
    if (in >> pid && pid > 0) RunUnix("kill " + std::to_string(pid));
    in.close();
    DeleteFileA(OnZ(fPidFile).c_str());
    RunUnix("rm -f " + LinkPath(fCom) + " " + LinkPath(fPeerCom));
  }

  bool Start(std::string& aWhy) {
    RunUnix("rm -f " + LinkPath(fCom) + " " + LinkPath(fPeerCom) + " " + fPidFile);
    // socat joins two pseudo-terminals; timeout ends it should this process die first.
    std::string relay = "echo $$ > " + fPidFile + "; exec /usr/bin/timeout 600 /usr/bin/socat pty,raw,echo=0,link=" +
                        LinkPath(fCom) + " pty,raw,echo=0,link=" + LinkPath(fPeerCom);
    if (!StartUnix(relay)) {
      aWhy = "cannot start socat";
      return false;
    }
    std::wstring peer = L"\\\\.\\COM" + std::to_wstring(fPeerCom);
    for (int i = 0; i < 500; ++i) {
      fPeer = CreateFileW(peer.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      if (fPeer != INVALID_HANDLE_VALUE) return true;
      Sleep(10);
    }
    aWhy = "socat did not link the ports";
    return false;
  }

  uint32_t ComNumber() const override { return fCom; }
  bool DrivenDirectly() const override { return false; }

  void Send(std::string_view aBytes) override {
    DWORD written = 0;
    WriteFile(fPeer, aBytes.data(), static_cast<DWORD>(aBytes.size()), &written, nullptr);
  }

  std::string Receive(size_t aCount, int aTimeoutMs) override {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(aTimeoutMs);
    SetCommTimeouts(fPeer, &timeouts);
    std::string bytes(aCount, '\0');
    DWORD got = 0;
    if (!ReadFile(fPeer, bytes.data(), static_cast<DWORD>(aCount), &got, nullptr)) got = 0;
    bytes.resize(got);
    return bytes;
  }

  // stty reads the settings of the device side through its link.
  bool ReadLine(PtyLine& aLine) override {
    std::string out = fPidFile + ".stty";
    if (!RunUnix("stty -F " + LinkPath(fCom) + " -a > " + out)) return false;
    std::ifstream in(OnZ(out));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(OnZ(out).c_str());
    auto has = [&text](const std::string& aWord) {
      size_t at = text.find(aWord);
      while (at != std::string::npos) {
        bool start = at == 0 || text[at - 1] == ' ' || text[at - 1] == '\n';
        bool end = at + aWord.size() >= text.size() || text[at + aWord.size()] == ' ' || text[at + aWord.size()] == '\n';
        if (start && end) return true;
        at = text.find(aWord, at + 1);
      }
      return false;
    };
    size_t speed = text.find("speed ");
    if (speed == std::string::npos) return false;
    aLine.baudRate = static_cast<uint32_t>(std::stoul(text.substr(speed + 6)));
    aLine.stopBits = has("cstopb") ? 2 : 1;
    aLine.oddParity = has("parodd");
    aLine.stickParity = has("cmspar");
    size_t time = text.find("time = ");
    if (time != std::string::npos) aLine.readGapDs = std::stoi(text.substr(time + 7));
    return true;
  }

 private:
  uint32_t fCom;
  uint32_t fPeerCom;
  std::string fPidFile;
  HANDLE fPeer = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<PseudoTerminal> PseudoTerminal::Create(std::string& aWhy) {
  static uint32_t next = 41;
  if (!UnderWine() || Prefix().empty()) {
    aWhy = "pseudo-terminals need wine with WINEPREFIX set";
    return nullptr;
  }
  if (!Exists("/usr/bin/socat")) {
    aWhy = "socat is not installed";
    return nullptr;
  }
  uint32_t com = next++;
  auto terminal = std::make_unique<WinePseudoTerminal>(com, com + 100);
  if (!terminal->Start(aWhy)) return nullptr;
  return terminal;
}

ComPortAlias::ComPortAlias(uint32_t aComNumber, const std::string& aUnixPath) : fComNumber(aComNumber) {
  if (!UnderWine() || Prefix().empty()) return;
  fOk = RunUnix("ln -sfn " + aUnixPath + " " + LinkPath(aComNumber));
}

ComPortAlias::~ComPortAlias() {
  if (fOk) RunUnix("rm -f " + LinkPath(fComNumber));
}

}  // namespace vxtest
