// The cost of one call through the exports, as the host pays it: host strings in and out, the
// wrapper, the request document read in full and the result document rendered.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/HostString.h"
#include "platform/ModuleEntry.h"
#include "vxpa.h"

namespace {

// A complete payment request for a driver that is not registered: read in full, then refused at
// the driver lookup, so the call measures parsing and rendering without a terminal.
const char16_t kPayment[] =
    u"<?xml version=\"1.0\" encoding=\"utf-8\"?><ReceiptPrinterManager Version=\"1.0\">"
    u"<Type>PAYMENT</Type><Driver>VXPA_BENCH</Driver><Method>pay</Method><LogId>TILL01</LogId>"
    u"<Connection><Type>HTTP</Type><URL>http://127.0.0.1:8443</URL><ConnectTimeout>2000</ConnectTimeout>"
    u"<ReadTimeout>60000</ReadTimeout></Connection>"
    u"<Parameters><POIID>P400Plus-123456789</POIID><KeyIdentifier>key1</KeyIdentifier><KeyVersion>1</KeyVersion>"
    u"<Secret>s3cret</Secret></Parameters>"
    u"<Payment><Action>PAY</Action><MerchantCode>M1</MerchantCode><StoreCode>S1</StoreCode><TillCode>T1</TillCode>"
    u"<Reference>R000000001</Reference><Amount>12.50</Amount><Currency>EUR</Currency><TipAmount>0</TipAmount>"
    u"<RequestTipAmount>false</RequestTipAmount><PrintLocation>ECR</PrintLocation>"
    u"<ReceiptColCount>42</ReceiptColCount><OperatorId>op</OperatorId></Payment></ReceiptPrinterManager>";

void Call(benchmark::State& aState, vxpa_export_fn aExport, std::u16string_view aRequest, vxpa_result aExpected) {
  BSTR request = port::NewHostString(aRequest);
  for (auto _ : aState) {
    BSTR output = nullptr;
    BSTR error = nullptr;
    vxpa_result result = aExport(request, &output, &error);
    if (result != aExpected) aState.SkipWithError("unexpected result");
    benchmark::DoNotOptimize(output);
    port::FreeHostString(output);
    port::FreeHostString(error);
  }
  port::FreeHostString(request);
}

void BM_GetStatus(benchmark::State& aState) { Call(aState, GETSTATUS, kPayment, VXPA_OK); }
BENCHMARK(BM_GetStatus);

void BM_FailingPay(benchmark::State& aState) { Call(aState, PAY, kPayment, VXPA_FAILED); }
BENCHMARK(BM_FailingPay);

// The cheapest failure: a request that is not XML.
void BM_MalformedPay(benchmark::State& aState) { Call(aState, PAY, u"<Request><Payment>", VXPA_FAILED); }
BENCHMARK(BM_MalformedPay);

}  // namespace

int main(int argc, char** argv) {
  vxmodule::Start();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  vxmodule::Stop();
  return 0;
}
