#include "InstanceMessage.h"

#include <gtest/gtest.h>

namespace mailvane::app::instance_message {
namespace {

using namespace std::string_literals;

TEST(InstanceMessage, encodedRequestsParseBackWhole)
{
    const Request requests[] = {
        {Kind::Raise, "", ""},
        {Kind::Open, "/home/ann/mail.txt", ""},
        // Any byte but NUL travels, line breaks and non-UTF-8 bytes too.
        {Kind::Open, "/tmp/two\nlines \xff.txt", ""},
        {Kind::Open, "/" + std::string(MaxPathBytes - 1, 'a'), ""},
        // The token a launcher gave the later start travels with either.
        {Kind::Raise, "", "wayland-activation_1:2/3"},
        {Kind::Open, "/home/ann/mail.txt", std::string(MaxTokenBytes, '~')},
    };
    for (const Request& request : requests) {
        SCOPED_TRACE(request.path);
        const std::optional<std::string> bytes = encode(request);
        ASSERT_TRUE(bytes);
        const ParseResult parsed = parse(*bytes);
        ASSERT_EQ(parsed.status, Status::Complete) << parsed.problem;
        EXPECT_EQ(parsed.request.kind, request.kind);
        EXPECT_EQ(parsed.request.path, request.path);
        EXPECT_EQ(parsed.request.activationToken, request.activationToken);
        // Every shorter beginning asks for more, and never for a refusal.
        for (std::size_t cut = 0; cut < bytes->size(); cut += 1 + cut / 8)
            EXPECT_EQ(parse(std::string_view(*bytes).substr(0, cut)).status, Status::Incomplete)
                << "cut at " << cut;
    }
}

TEST(InstanceMessage, pathsThatCannotTravelAreNotEncoded)
{
    const std::string paths[] = {"", "relative/mail.txt", "/nul\0byte"s,
                                 "/" + std::string(MaxPathBytes, 'a')};
    for (const std::string& path : paths)
        EXPECT_FALSE(encode({Kind::Open, path, ""})) << path;
    for (const std::string& token : {"with blank"s, "tab\t"s, std::string(MaxTokenBytes + 1, 't')})
        EXPECT_FALSE(encode({Kind::Raise, "", token})) << token;
}

TEST(InstanceMessage, anyOtherBytesAreRefusedWithAReason)
{
    const std::string refused[] = {
        "hello\n",
        "GET / HTTP/1.1\r\n",
        "mailvane/2 raise\n",
        "mailvane/1 raise\nx",
        "mailvane/1 raise \n",
        "mailvane/1 open 0\n",
        "mailvane/1 open 012\n/ab",
        "mailvane/1 open -3\n/ab",
        "mailvane/1 open 4096\n",
        "mailvane/1 open 99999999999999999999\n",
        "mailvane/1 open 3\n/a\0"s,
        "mailvane/1 open 3\nab/",
        "mailvane/1 open 2\n/ab",
        "mailvane/1 open x",
        "mailvane/1 open 12345",
        "mailvane/1 opex",
        "mailvane/1 raisex\n",
        "mailvane/1 raise 0\n",
        "mailvane/1 raise 256\n",
        "mailvane/1 raise 2\na b",
        "mailvane/1 raise 1\nab",
        "mailvane/1 open 2 \n/a",
        "mailvane/1 open 2 3 4\n/a",
        "mailvane/1 open 2 1\n/a\x7f",
        std::string(MaxHeaderBytes, 'm'),
        "\0"s,
    };
    for (const std::string& bytes : refused) {
        const ParseResult parsed = parse(bytes);
        EXPECT_EQ(parsed.status, Status::Invalid) << '"' << bytes << '"';
        EXPECT_FALSE(parsed.problem.empty()) << bytes;
    }
}

TEST(InstanceMessage, onlyAWholeOkLineIsATakenRequest)
{
    struct Case
    {
        std::string_view answer;
        const char* problem; // null: taken
    };
    const Case cases[] = {
        {"ok\n", nullptr},
        {"ok", "the running Mailvane did not confirm the request within 10 seconds"},
        {"", "the running Mailvane did not confirm the request within 10 seconds"},
        {"refused: a dialog is open\n",
         "the running Mailvane refused the request: a dialog is open"},
        {"ok\nok\n", "the running Mailvane did not confirm the request within 10 seconds"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> problem = answerProblem(c.answer, 10000);
        if (c.problem)
            EXPECT_EQ(problem, c.problem) << c.answer;
        else
            EXPECT_FALSE(problem) << c.answer << ": " << *problem;
    }
}

} // namespace
} // namespace mailvane::app::instance_message
