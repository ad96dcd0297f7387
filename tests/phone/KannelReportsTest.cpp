// Delivery reports through a real Kannel: the reports the gateway makes up
// itself for fakesmsc (accepted, then delivered), and receipts from an SMPP
// SMS centre (smpp_smsc.py) chosen by the number's last digit.

#include "CliRunner.h"
#include "KannelHarness.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace mailvane;
using test::lines;
using test::readFile;
using test::runCli;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;

// The states the log gives each number, in the order of its lines.
std::map<std::string, std::vector<std::string>> statesByNumber(const std::string& log)
{
    std::map<std::string, std::vector<std::string>> states;
    for (const std::string& line : lines(log)) {
        std::istringstream fields(line);
        std::string number;
        std::string state;
        std::getline(fields, number, '\t');
        std::getline(fields, state, '\t');
        states[number].push_back(state);
    }
    return states;
}

class KannelReports : public ::testing::Test
{
protected:
    void startGateway(bool smpp)
    {
        test::isolateProgramSettings(home.path());
        if (smpp)
            gateway.addSmppSmsc();
        ASSERT_TRUE(gateway.start()) << gateway.error();
    }

    test::CliRun send(const std::string& to, const std::vector<std::string>& more,
                      const std::string& query = {})
    {
        std::vector<std::string> args = {"send",    (Examples / "imap4-gprs.txt").string(),
                                         "--pin",   "8642",
                                         "--table", TokenTable.string(),
                                         "--phone", "kannel:" + gateway.sendsmsUrl() + query,
                                         "--to",    to};
        args.insert(args.end(), more.begin(), more.end());
        return runCli(args, work.path());
    }

    // How many messages the SMPP SMS centre took for each number.
    // The submits per number, for a failure's message.
    std::string submitsSeen() const
    {
        std::string seen = "submits seen:";
        for (const auto& [number, count] : smppSubmits())
            seen += " " + number + "=" + std::to_string(count);
        return seen;
    }

    std::map<std::string, int> smppSubmits() const
    {
        std::map<std::string, int> counts;
        for (const std::string& line : lines(readFile(gateway.folder() / "smpp.out"))) {
            std::istringstream fields(line);
            std::string word, id, to;
            // Kannel passes an international number on without its '+'.
            if (fields >> word >> id >> to && word == "submit")
                ++counts[to.starts_with('+') ? to : "+" + to];
        }
        return counts;
    }

    test::TempDir home;
    test::TempDir work;
    test::TempDir kannelDir;
    test::KannelHarness gateway{kannelDir.path()};
};

} // namespace

TEST_F(KannelReports, fakesmscReportsEveryNumberAndABusyPortSendsNothing)
{
    startGateway(false);
    auto run = send("+4915501;+4915502;+4915503",
                    {"--reports", "--wait-reports", "3", "--jobs", "2", "--log", "run.log"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("3 sent, 0 failed, 0 skipped, 0 already sent, 0 uncertain, 3 "
                           "delivered, 0 not delivered, 0 no report, in "),
              std::string::npos)
        << run.err;
    const auto states = statesByNumber(readFile(work / "run.log"));
    ASSERT_EQ(states.size(), 3u);
    for (const auto& [number, seen] : states) {
        ASSERT_GE(seen.size(), 3u) << number;
        EXPECT_EQ(seen[1], "sent") << number;
        EXPECT_EQ(seen.back(), "delivered") << number;
    }

    // A listener port in use: said plainly, before any message leaves.
    const int taken = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(taken, 1), 0);
    getsockname(taken, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string port = std::to_string(ntohs(address.sin_port));
    const std::size_t before = gateway.received().size();
    run = send("+4915504",
               {"--reports", "--report-listen", "127.0.0.1:" + port, "--log", "busy.log"});
    close(taken);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot listen for delivery reports on 127.0.0.1:" + port +
                           ": Address already in use"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(readFile(work / "busy.log").empty());
    EXPECT_EQ(gateway.received().size(), before);
}

TEST_F(KannelReports, smppReceiptsDecideEachNumberAndOnlyTheUndeliveredAreSentAgain)
{
    startGateway(true);
    // Last digit 1: undeliverable; 2: no receipt; others delivered.
    const std::string list = "+4916003;+4916011;+4916022;+4916033";
    const std::string smsc = std::string("?smsc=") + test::KannelHarness::SmppSmscId;
    auto run =
        send(list, {"--reports", "--wait-reports", "5", "--jobs", "2", "--log", "run.log"}, smsc);
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    // The number without a receipt is accepted by the SMSC only: no final report.
    EXPECT_NE(run.err.find("4 sent, 0 failed, 0 skipped, 0 already sent, 0 uncertain, 2 "
                           "delivered, 1 not delivered, 1 no report, in "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("1 of 4 recipients were reported not delivered; --resume run.log "
                           "--resend-undelivered sends to them again"),
              std::string::npos)
        << run.err;
    const auto states = statesByNumber(readFile(work / "run.log"));
    EXPECT_EQ(states.at("+4916003").back(), "delivered");
    EXPECT_EQ(states.at("+4916011").back(), "not delivered");
    EXPECT_EQ(states.at("+4916022").back(), "accepted");
    EXPECT_EQ(states.at("+4916033").back(), "delivered");
    for (const auto& [number, seen] : states)
        EXPECT_EQ(seen.at(1), "sent") << number;

    const auto status = runCli({"status", "run.log"}, work.path());
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "run.log: 4 numbers\n"
                          "       2  delivered\n"
                          "       1  not delivered\n"
                          "       1  accepted by the SMSC, no word from the phone\n"
                          "       0  sent, no report\n"
                          "       0  failed\n"
                          "       0  skipped\n"
                          "       0  uncertain (started, never ended)\n"
                          "\n"
                          "Not delivered:\n"
                          "  +4916011\n");

    const auto before = smppSubmits();
    run = send(list, {"--resume", "run.log", "--resend-undelivered", "--log", "run.log"}, smsc);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("Skipping 3 recipients"), std::string::npos) << run.err;
    ASSERT_TRUE(test::waitUntil(
        [&] { return smppSubmits()["+4916011"] == 2 * before.at("+4916011"); }, 20s))
        << submitsSeen();
    auto after = smppSubmits();
    for (const char* number : {"+4916003", "+4916022", "+4916033"})
        EXPECT_EQ(after[number], before.at(number)) << number;
}
