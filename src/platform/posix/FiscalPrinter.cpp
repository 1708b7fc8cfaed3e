#include "platform/FiscalPrinter.h"

#include "platform/SimulatedFiscalPrinter.h"

namespace port {

// No OPOS control exists here: the handler meets a printer that cannot be opened.
std::unique_ptr<FiscalPrinterControl> FiscalPrinterControl::Create() {
  return SimulatedFiscalPrinter::Missing(u"No OPOS fiscal printer control on this system");
}

}  // namespace port
