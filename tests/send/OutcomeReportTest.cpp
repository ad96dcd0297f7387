#include "OutcomeReport.h"

#include "PhoneStatus.h"

#include <gtest/gtest.h>

using namespace mailvane;
namespace strings = settings::strings;

namespace {

const std::string SendingError =
    "An error occurred while sending the e-mail settings to the target phone(s).";

} // namespace

TEST(OutcomeReport, saysWhatWentWhatFailedWhyAndWhatWasNotTried)
{
    using phone::SendingOutcome;
    const auto failure = [](platform::HRESULT status, std::string cause, std::string detail,
                            unsigned message, unsigned count) {
        phone::SendResult result;
        result.status = status;
        result.cause = std::move(cause);
        result.detail = std::move(detail);
        result.message = message;
        result.messageCount = count;
        return result;
    };
    const auto unreachable = failure(platform::E_ABORT, "the phone could not be reached", "", 0, 0);
    const auto gatewayDown =
        failure(phone::E_GATEWAY_UNREACHABLE, "the gateway could not be reached",
                "http://gw/cgi-bin/sendsms: Connection refused", 1, 6);
    const auto gatewaySilent =
        failure(phone::E_GATEWAY_TIMEOUT,
                "the gateway did not answer in time, so the message may have gone out",
                "http://gw/cgi-bin/sendsms: no answer within 20 seconds", 1, 6);
    const auto oddSuccess =
        failure(platform::S_FALSE, "the phone service answered with the unknown status 0x00000001",
                "", 6, 6);
    std::vector<std::string> many;
    for (int n = 3; n <= 16; ++n)
        many.push_back(std::to_string(n));
    const auto serviceMissing =
        failure(platform::E_FAIL, "the phone service is not available", "", 0, 0);
    const auto refused = failure(platform::E_FAIL, "the phone refused the message", "", 1, 3);
    struct Case
    {
        SendingOutcome outcome;
        std::string text;
        settings::StringId caption = strings::SendingFailedCaption;
    };
    const std::size_t OddSuccess = 5;
    const Case cases[] = {
        {{false, platform::E_ABORT, 0, 2, "111", unreachable, {"222"}}, "Phone isn't connected."},
        {{false, phone::E_GATEWAY_UNREACHABLE, 0, 1, "111", gatewayDown, {}},
         "The SMS gateway cannot be reached.\n\nSending to 111 failed at message 1 of 6: the "
         "gateway could not be reached\n(http://gw/cgi-bin/sendsms: Connection refused)."},
        // Reached once: the first number has the settings, which must be said.
        {{false, platform::E_ABORT, 1, 2, "222", unreachable, {}},
         SendingError + "\n\nSending to 222 failed: the phone could not be reached.\nNumbers "
                        "sent before it: 1 of 2."},
        {{false, phone::E_GATEWAY_TIMEOUT, 0, 1, "111", gatewaySilent, {}},
         // Long lines are broken at blanks: the box is as wide as its longest.
         SendingError + "\n\nSending to 111 failed at message 1 of 6: the gateway did not "
                        "answer in time, so\nthe message may have gone out "
                        "(http://gw/cgi-bin/sendsms: no answer within 20\nseconds).\nNumbers sent "
                        "before it: 0 of 1."},
        {{false, platform::E_FAIL, 1, 3, "222", refused, {"333"}},
         SendingError + "\n\nSending to 222 failed at message 1 of 3: the phone refused the "
                        "message.\nNumbers sent before it: 1 of 3.\nNot tried: 333."},
        {{false, platform::S_FALSE, 1, 16, "2", oddSuccess, many},
         SendingError + "\n\nSending to 2 failed at message 6 of 6: the phone service answered "
                        "with the\nunknown status 0x00000001.\nNumbers sent before it: 1 of 16."
                        "\nNot tried: 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 and 4 more."},
        // The phone service missing is no missing phone.
        {{false, platform::E_FAIL, 0, 1, "111", serviceMissing, {}},
         SendingError + "\n\nSending to 111 failed: the phone service is not available."
                        "\nNumbers sent before it: 0 of 1."},
        {{false, platform::S_OK, 0, 0, "", {}, {}},
         "No recipients are selected.",
         strings::RecipientsMissingCaption},
        {{true, platform::S_OK, 2, 2, "", {}, {}},
         "The e-mail settings were successfully sent to the target phone(s).",
         strings::SendingSuccessfulCaption},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const send::OutcomeReport report = send::reportOutcome(c.outcome);
        EXPECT_EQ(report.caption, c.caption);
        EXPECT_EQ(report.warning, c.caption != strings::SendingSuccessfulCaption);
        EXPECT_EQ(report.text, c.text);
    }
    EXPECT_EQ(send::outcomeLine(cases[std::size(cases) - 1].outcome), "");
    // The terminal line names every number and the code.
    EXPECT_EQ(send::outcomeLine(cases[OddSuccess].outcome),
              SendingError + " Sending to 2 failed at message 6 of 6: the phone service answered "
                             "with the unknown status 0x00000001. Numbers sent before it: 1 of 16. "
                             "Not tried: 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16. (status "
                             "0x00000001)");
}
