// terminal-sim: the payment terminal simulator program. See --help.
#include "Options.h"
#include "Simulator.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  termsim::SimOptions options;
  bool help = false;
  std::string error;
  if (!termsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, help, error)) {
    std::fprintf(stderr, "terminal-sim: %s (see --help)\n", error.c_str());
    return 2;
  }
  if (help) {
    std::fputs(termsim::HelpText().c_str(), stdout);
    return 0;
  }

  // A shell starts background programs with SIGINT ignored, and an ignored signal never reaches
  // the wait below: take the default dispositions back. Every thread inherits the mask, so only
  // that wait sees the stop signals.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  try {
    termsim::Simulator simulator(options);
    simulator.Start();
    std::printf("listening 127.0.0.1:%u %s\n", simulator.Port(), simulator.Scheme());
    std::fflush(stdout);

    const std::time_t end = options.maxSeconds > 0 ? std::time(nullptr) + options.maxSeconds : 0;
    while (true) {
      timespec slice{1, 0};
      if (end != 0) {
        const std::time_t left = end - std::time(nullptr);
        if (left <= 0) break;
        if (left < slice.tv_sec) slice.tv_sec = left;
      }
      const int signal = sigtimedwait(&stopSignals, nullptr, &slice);
      if (signal == SIGTERM || signal == SIGINT) break;
    }
    simulator.Stop();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "terminal-sim: %s\n", e.what());
    return 1;
  }
  return 0;
}
