// What a batch does with a gateway's refusal: which it tries again, how long
// it waits, and how it keeps to a rate.

#include "GatewayRefusal.h"
#include "RetryPacing.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

using namespace mailvane::phone;
using namespace std::chrono_literals;
using Refusal = GatewayAnswer::Refusal;

TEST(GatewayRefusal, busyAndUnreachableAreTriedAgainOthersAreNot)
{
    struct Case
    {
        long httpStatus;
        int transferError;
        bool sentAndSilent;
        Refusal expected;
    };
    const Case cases[] = {
        {503, 0, false, Refusal::Temporary}, // smsbox's queue is full
        {429, 0, false, Refusal::Temporary},
        {504, 0, false, Refusal::Temporary},
        {0, CURLE_COULDNT_CONNECT, false, Refusal::Temporary}, // smsbox down
        {0, CURLE_RECV_ERROR, false, Refusal::Temporary},      // connection reset
        {0, CURLE_OPERATION_TIMEDOUT, false, Refusal::Temporary}, // no connection in time
        // The request went out and nothing came back: it may have been taken.
        {0, CURLE_OPERATION_TIMEDOUT, true, Refusal::Gateway},
        {403, 0, false, Refusal::Gateway}, // wrong password
        {500, 0, false, Refusal::Gateway},
        {0, CURLE_UNSUPPORTED_PROTOCOL, false, Refusal::Gateway},
        {400, 0, false, Refusal::Number}, // a number smsbox will not take
        {202, 0, false, Refusal::Number}, // taken, but not in smsbox's words
    };
    for (const Case& c : cases)
        EXPECT_EQ(refusalOf(c.httpStatus, c.transferError, c.sentAndSilent), c.expected)
            << c.httpStatus << " / " << c.transferError;
}

TEST(RetryPacing, delaysDoubleFromHalfASecondUpToThirtyWithJitterAndRetryAfter)
{
    struct Case
    {
        unsigned retry;
        std::optional<std::chrono::seconds> retryAfter;
        double jitter;
        std::chrono::milliseconds expected;
    };
    const Case cases[] = {
        {1, {}, 1.0, 500ms},   {2, {}, 1.0, 1000ms},  {4, {}, 1.0, 4000ms},
        {7, {}, 1.0, 30000ms}, {40, {}, 1.0, 30000ms}, {1, {}, 0.0, 250ms},
        {3, {}, 0.5, 1500ms},  {1, {}, 7.0, 500ms},    {1, 3s, 0.0, 3000ms},
        {7, 3s, 1.0, 30000ms}, {1, 3600s, 0.0, 300000ms},
    };
    for (const Case& c : cases)
        EXPECT_EQ(retryDelay(c.retry, c.retryAfter, c.jitter), c.expected)
            << c.retry << " / " << c.jitter;

    struct Header
    {
        const char* value;
        std::optional<std::chrono::seconds> seconds;
    };
    const Header headers[] = {
        {" 120\r\n", 120s}, {"Wed, 21 Oct 2026 07:28:00 GMT", {}}, {"-5", {}}, {"", {}}};
    for (const Header& header : headers)
        EXPECT_EQ(readRetryAfter(header.value), header.seconds) << header.value;
}

TEST(RetryPacing, tokenBucketGivesEachMessageTheNextSlotWithoutBursts)
{
    TokenBucket bucket(4); // a slot every 250 ms
    const TokenBucket::Clock::time_point start{};
    struct Take
    {
        std::chrono::milliseconds at;
        std::chrono::milliseconds wait;
    };
    // Three at once, one late, then an idle second that earns nothing.
    const Take takes[] = {{0ms, 0ms},     {0ms, 250ms},    {0ms, 500ms},
                          {600ms, 150ms}, {2000ms, 0ms},   {2000ms, 250ms}};
    for (const Take& take : takes)
        EXPECT_EQ(bucket.take(start + take.at), take.wait) << take.at.count();
}
