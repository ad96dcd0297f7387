#pragma once

// What a gateway's refusal of one message means for a batch: try the message
// again later, stop the batch because the gateway refuses everyone, or fail
// this one number.

#include "SendsmsCodec.h"

namespace mailvane::phone {

// For a message that was not accepted: `httpStatus` is the answer's status (0
// when there was none) and `transferError` libcurl's code for the transfer (0
// when the transfer itself went through).
//
// Busy answers (429, 502, 503, 504, and 408) and transfers that reached no
// gateway or broke off before an answer are temporary. An answer that came in
// time cannot be told from a message taken, so a time-out after the request
// went out is not retried: `sentAndSilent` says that happened.
GatewayAnswer::Refusal refusalOf(long httpStatus, int transferError, bool sentAndSilent = false);

} // namespace mailvane::phone
