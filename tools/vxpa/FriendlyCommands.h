#pragma once
// The friendly commands of the host program: they build the request documents from flags and a
// device profile (DeviceProfile.h), call the exports, and tell the outcome in plain words with
// the receipts.
//
//   vxpa open
//   vxpa pay --amount 12.50 [--currency EUR] [--tip 1.00] [--ask-tip] [--token REF]
//   vxpa refund --amount 2.50 --payment-id ID --payment-time 2026-03-15T14:07:09
//   vxpa void ...                    (as refund)
//   vxpa close --handle N
//   vxpa session FILE                (several commands on one open device; see below)
//
// Every command also takes --profile FILE. A single command runs in a process of its own, so
// pay, refund and void open the device implicitly. A session runs the commands of a file (or of
// standard input), one per line, on one loaded module: open gives the handle that the later
// commands use, and refund and void without --payment-id take the last approved sale.
#include <span>
#include <string>
#include <vector>

#include "Commands.h"

namespace vxpa {

// Appends the friendly commands to the host program's command table.
void AddFriendlyCommands(std::vector<Command>& aCommands);

}  // namespace vxpa
