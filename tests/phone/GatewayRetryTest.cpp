// What a batch does with a gateway's refusal: which it tries again, how long
// it waits, how it keeps to a rate, and that a push goes on from the refused
// message.

#include "GatewayRefusal.h"
#include "GatewaySender.h"
#include "RetryPacing.h"

#include <curl/curl.h>
#include <deque>
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
        {502, 0, false, Refusal::Temporary},
        {504, 0, false, Refusal::Temporary},
        {429, 0, false, Refusal::Temporary},
        {408, 0, false, Refusal::Temporary},
        {0, CURLE_COULDNT_CONNECT, false, Refusal::Temporary}, // smsbox down
        {0, CURLE_RECV_ERROR, false, Refusal::Temporary},      // connection reset
        {0, CURLE_GOT_NOTHING, false, Refusal::Temporary},
        {0, CURLE_OPERATION_TIMEDOUT, false, Refusal::Temporary}, // no connection in time
        {0, CURLE_COULDNT_RESOLVE_HOST, false, Refusal::Temporary},
        // The request went out and nothing came back: it may have been taken.
        {0, CURLE_OPERATION_TIMEDOUT, true, Refusal::Gateway},
        {403, 0, false, Refusal::Gateway}, // wrong password
        {401, 0, false, Refusal::Gateway},
        {404, 0, false, Refusal::Gateway}, // wrong path
        {500, 0, false, Refusal::Gateway},
        {301, 0, false, Refusal::Gateway},
        {0, CURLE_UNSUPPORTED_PROTOCOL, false, Refusal::Gateway},
        {0, CURLE_PEER_FAILED_VERIFICATION, false, Refusal::Gateway},
        {400, 0, false, Refusal::Number}, // e.g. a number smsbox will not take
        {413, 0, false, Refusal::Number},
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
        {1, {}, 1.0, 500ms},   {2, {}, 1.0, 1000ms},   {3, {}, 1.0, 2000ms},
        {4, {}, 1.0, 4000ms},  {7, {}, 1.0, 30000ms},  {40, {}, 1.0, 30000ms},
        {1, {}, 0.0, 250ms},   {3, {}, 0.5, 1500ms},   {7, {}, 0.0, 15000ms},
        {1, {}, 7.0, 500ms},   {1, {}, -1.0, 250ms},   {1, 3s, 0.0, 3000ms},
        {7, 3s, 1.0, 30000ms}, {1, 3600s, 0.0, 300000ms}, {1, 0s, 0.0, 250ms},
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
        {" 120\r\n", 120s}, {"0", 0s}, {"Wed, 21 Oct 2026 07:28:00 GMT", {}}, {"-5", {}},
        {"", {}},           {"1e3", {}}, {"9999999999", {}},
    };
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

namespace {

// Answers each post with the next scripted answer (then accepts), and keeps
// the sequence number of each message posted.
class ScriptedGateway final : public SmsGateway
{
public:
    GatewayAnswer post(const OutgoingMessage& message) override
    {
        posted.push_back(message.userDataHeader.back());
        if (script.empty())
            return {GatewayAnswer::Verdict::Accepted, 202, "0: Accepted for delivery",
                    Refusal::None, std::nullopt};
        GatewayAnswer answer = script.front();
        script.pop_front();
        return answer;
    }
    std::string describe(const GatewayAnswer& answer) const override { return answer.text; }
    PhoneValue connect() override { return 1; }
    mailvane::platform::HRESULT send(const OutgoingMessage&) override { return 0; }
    StoreContents readContacts(ContactStore) override { return {}; }

    std::deque<GatewayAnswer> script;
    std::vector<int> posted;
};

GatewayAnswer refused(long status, Refusal refusal)
{
    return {GatewayAnswer::Verdict::Refused, status, "refused", refusal, std::nullopt};
}

} // namespace

TEST(GatewaySender, pushGoesOnFromTheRefusedMessageAndStopsAtAFinalRefusal)
{
    // Three messages: 2 * 140 bytes of push is more than two fit.
    const std::string push(2 * 2 * 140, 'a');
    struct Case
    {
        std::vector<GatewayAnswer> script; // for the posts in turn
        unsigned retries;
        bool sent;
        bool gatewayCause;
        std::vector<int> posted; // sequence numbers
    };
    const GatewayAnswer busy = refused(503, Refusal::Temporary);
    const Case cases[] = {
        {{}, 5, true, false, {1, 2, 3}},
        {{{GatewayAnswer::Verdict::Accepted, 202, "0: Accepted", Refusal::None, std::nullopt},
          busy, busy},
         5, true, false, {1, 2, 2, 2, 3}},
        {{busy, busy}, 1, false, true, {1, 1}},
        {{refused(400, Refusal::Number)}, 5, false, false, {1}},
        {{refused(403, Refusal::Gateway)}, 5, false, true, {1}},
    };
    for (const Case& c : cases) {
        ScriptedGateway gateway;
        gateway.script.assign(c.script.begin(), c.script.end());
        GatewaySender sender(gateway, push);
        ASSERT_TRUE(sender.ready());
        sender.setPacing({c.retries, nullptr, nullptr});
        PushTicket ticket{0, "+491", 7};
        const PushOutcome outcome = sender.send(ticket);
        EXPECT_EQ(outcome.sent, c.sent) << outcome.answer;
        EXPECT_EQ(outcome.gatewayCause, c.gatewayCause) << outcome.answer;
        EXPECT_EQ(gateway.posted, c.posted) << outcome.answer;
    }
}
