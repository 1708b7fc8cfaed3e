#pragma once
// The fuzz target for request documents: one input, run through the eight command exports of the
// module's code, with the answers checked against what the host must always get. Shared by the
// libFuzzer program and the test that replays the checked-in corpus.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vxfuzz {

// Starts the module state and empties the driver registry: every request is read in full, and
// no device is opened (so nothing is logged and nothing goes on the network).
void Prepare();

// The input as a request: UTF-16LE after a byte order mark FF FE, else UTF-8 (invalid sequences
// become U+FFFD). Answers the first broken rule, or the empty text when every answer was right.
std::string RunRequest(const uint8_t* aData, size_t aSize);

}  // namespace vxfuzz
