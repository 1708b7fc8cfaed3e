#pragma once
// The payment unit: request documents, result records and the payment device base.
#include "payment/uVxPayment_Device.h"
#include "payment/uVxPayment_Handler.h"
#include "payment/uVxPayment_Request.h"
#include "payment/uVxPayment_Results.h"
