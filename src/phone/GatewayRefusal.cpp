#include "GatewayRefusal.h"

#include <curl/curl.h>

namespace mailvane::phone {
namespace {

using Refusal = GatewayAnswer::Refusal;

Refusal refusalOfTransfer(int transferError)
{
    switch (static_cast<CURLcode>(transferError)) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return Refusal::Temporary;
    default:
        // A wrong URL, protocol or certificate fails every number alike.
        return Refusal::Gateway;
    }
}

} // namespace

Refusal refusalOf(long httpStatus, int transferError, bool sentAndSilent)
{
    if (sentAndSilent)
        return Refusal::Gateway;
    if (transferError != 0 || httpStatus == 0)
        return refusalOfTransfer(transferError);
    switch (httpStatus) {
    case 408: // request time-out
    case 429: // too many requests
    case 502: // bad gateway
    case 503: // smsbox's queue is full: "Temporal failure, try again later."
    case 504: // gateway time-out
        return Refusal::Temporary;
    case 401:
    case 403: // wrong user or password
    case 404:
    case 405:
    case 407:
        return Refusal::Gateway;
    case 202: // taken, but not with smsbox's words for it
        return Refusal::Number;
    default:
        // Any other 4xx is about this request: its number, usually.
        return httpStatus >= 400 && httpStatus < 500 ? Refusal::Number : Refusal::Gateway;
    }
}

} // namespace mailvane::phone
