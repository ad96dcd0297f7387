// How reports of a gateway's callbacks are read and what they add up to.

#include "DeliveryReport.h"

#include "ReportListener.h"
#include "ReportTracker.h"

#include <gtest/gtest.h>

using namespace mailvane::phone;

namespace {

constexpr auto None = DeliveryState::NoReport;
constexpr auto Accepted = DeliveryState::Accepted;
constexpr auto Delivered = DeliveryState::Delivered;
constexpr auto NotDelivered = DeliveryState::NotDelivered;

DeliveryReport reportOf(std::size_t push, std::size_t message, unsigned type)
{
    return {push, message, type, "stat " + std::to_string(type)};
}

} // namespace

TEST(DeliveryReport, pushStateFoldsItsMessagesStates)
{
    struct Case
    {
        std::vector<DeliveryState> messages;
        DeliveryState push;
    };
    const Case cases[] = {
        {{Delivered, Delivered, Delivered}, Delivered},
        {{Delivered, NotDelivered, None}, NotDelivered}, // any one is enough
        {{Delivered, Accepted, Delivered}, Accepted},
        {{Accepted, Accepted}, Accepted},
        {{Delivered, None, Delivered}, None},
        {{}, None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(foldPushState(c.messages), c.push) << ::testing::PrintToString(c.messages);
}

TEST(DeliveryReport, messageStateMovesOnlyForwardAndFinalStatesStay)
{
    struct Case
    {
        DeliveryState before;
        unsigned type;
        DeliveryState after;
    };
    const Case cases[] = {
        {None, report_types::SmscAccepted, Accepted},
        {None, report_types::Buffered, Accepted},
        {Accepted, report_types::Delivered, Delivered},
        {None, report_types::SmscRefused, NotDelivered},
        {Accepted, report_types::NotDelivered, NotDelivered},
        {Delivered, report_types::SmscAccepted, Delivered}, // overtaken by the phone's word
        {Delivered, report_types::NotDelivered, Delivered},
        {NotDelivered, report_types::Delivered, NotDelivered},
        {Accepted, 64, Accepted}, // a type we do not know says nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(advance(c.before, stateOfReportType(c.type)), c.after)
            << deliveryStateWord(c.before) << " + " << c.type;
}

TEST(DeliveryReport, callbackIsReadOnlyWhenItNamesThisBatchFully)
{
    const std::string url = reportCallbackUrl("http://127.0.0.1:9/report?x=1", "b7", 12, 2);
    EXPECT_EQ(url, "http://127.0.0.1:9/report?x=1&batch=b7&push=12&message=2&type=%d&text=%A");

    const auto report = parseReportCallback(
        "/report?x=1&batch=b7&push=12&message=2&type=1&text=id%3A5+stat%3ADELIVRD%0A", "b7");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->push, 12u);
    EXPECT_EQ(report->message, 2u);
    EXPECT_EQ(report->type, 1u);
    EXPECT_EQ(report->text, "id:5 stat:DELIVRD "); // one line for the log

    for (const char* stranger : {
             "/report?batch=old&push=12&message=2&type=1", // an earlier batch's late report
             "/report?batch=b7&push=12&type=1",            // no message
             "/report?batch=b7&push=-1&message=2&type=1",  // not a number
             "/report?batch=b7&push=12&message=2&type=%d", // the gateway filled in nothing
             "/favicon.ico",
         })
        EXPECT_FALSE(parseReportCallback(stranger, "b7")) << stranger;
}

TEST(ReportTracker, reportBeforeThePushIsSentWaitsForItsSentLine)
{
    ReportTracker tracker(2);
    tracker.expect(0, 2);
    tracker.expect(1, 1);
    // Message 1 of push 0 is reported while message 2 is still unanswered.
    EXPECT_FALSE(tracker.report(reportOf(0, 0, report_types::Delivered)));
    EXPECT_FALSE(tracker.report(reportOf(0, 1, report_types::SmscAccepted)));
    const auto accepted = tracker.sent(0);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->state, Accepted);
    EXPECT_FALSE(tracker.settled()); // a sent push still waits for the phone's word
    const auto delivered = tracker.report(reportOf(0, 1, report_types::Delivered));
    ASSERT_TRUE(delivered);
    EXPECT_EQ(delivered->state, Delivered);
    EXPECT_EQ(delivered->text, "stat 1");
    // Nothing more moves it; reports for pushes or messages not in the batch are dropped.
    EXPECT_FALSE(tracker.report(reportOf(0, 0, report_types::NotDelivered)));
    EXPECT_FALSE(tracker.report(reportOf(0, 2, report_types::NotDelivered)));
    EXPECT_FALSE(tracker.report(reportOf(5, 0, report_types::NotDelivered)));

    tracker.failed(1);
    EXPECT_FALSE(tracker.report(reportOf(1, 0, report_types::Delivered)));
    const auto counts = tracker.counts();
    EXPECT_EQ(counts.sent, 1u);
    EXPECT_EQ(counts.delivered, 1u);
    EXPECT_EQ(counts.waiting(), 0u);
    EXPECT_TRUE(tracker.settled());
}

// A port in use is checked end to end with the gateway (nothing is sent).
TEST(ReportListener, listenAddressesAreReadOrRefused)
{
    ASSERT_TRUE(parseListenAddress("0.0.0.0:8088"));
    EXPECT_EQ(parseListenAddress("[::1]:80")->host, "::1");
    for (const char* bad : {"8088", ":80", "host:", "host:70000", "::1:80", "host:8o"})
        EXPECT_FALSE(parseListenAddress(bad)) << bad;
}
