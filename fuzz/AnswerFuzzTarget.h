#pragma once
// The fuzz target for the answer path: what the terminal sends back, fed straight to the driver's
// reader. The first input byte chooses the path and the request the answer belongs to; the rest is
//   path 0: the protected envelope as received: checks and decryption, then, when it passes, the
//           payment reader;
//   path 1: a plain answer that the target protects with the device's keys first, so that every
//           input gets through the checks: decryption must give back exactly the input, then the
//           payment reader;
//   path 2: a plain answer given straight to the payment reader.
// Shared by the libFuzzer program and the test that replays the checked-in corpus.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vxfuzz {

// Derives the device's keys once (the key derivation is slow on purpose).
void PrepareAnswers();

// Answers the first broken rule, or the empty text when the answer was handled as it must be:
// refused with a message of the module's own or read into a well-formed result.
std::string RunAnswer(const uint8_t* aData, size_t aSize);

}  // namespace vxfuzz
