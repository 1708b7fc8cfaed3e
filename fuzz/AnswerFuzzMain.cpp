// libFuzzer entry points of the answer fuzzer. A broken rule is a finding: it is printed and the
// run stops with the input saved.
#include <cstdio>
#include <cstdlib>

#include "AnswerFuzzTarget.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vxfuzz::PrepareAnswers();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  const std::string problem = vxfuzz::RunAnswer(aData, aSize);
  if (!problem.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
