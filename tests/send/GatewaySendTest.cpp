// The Send command through a Kannel gateway that fails in each of its ways:
// what the operator reads names the gateway and its answer, never its
// password, and tells a gateway never reached from one that did not answer.

#include "DialogDriver.h"
#include "GatewayAddress.h"
#include "KannelGateway.h"
#include "KannelHarness.h"
#include "MessageBoxHook.h"
#include "MessageText.h"
#include "OpenSettings.h"
#include "PhoneBackEnd.h"
#include "PhoneLink.h"
#include "PinDialog.h"
#include "SendDialog.h"
#include "SendWorkflow.h"
#include "ServiceObjects.h"
#include "TempDir.h"

#include <QLineEdit>
#include <QTest>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mailvane;
using namespace std::chrono_literals;

namespace {

const std::filesystem::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const std::string SendingError =
    "An error occurred while sending the e-mail settings to the target phone(s).";

// A loopback socket on a free port: listening (connections wait in its
// backlog, never answered) or closed again (connections are refused).
class LoopbackPort
{
public:
    explicit LoopbackPort(bool listening)
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        if (listening) {
            ::listen(m_socket, 4);
        } else {
            ::close(m_socket);
            m_socket = -1;
        }
    }
    ~LoopbackPort()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    std::string endpoint() const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/cgi-bin/sendsms";
    }

private:
    int m_socket = -1;
    unsigned m_port = 0;
};

class GatewaySend : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            settings::openSettingsFile(MAILVANE_EXAMPLES_DIR "/imap4-gprs.txt", record).ok());
        window.resize(640, 480);
        window.show();
    }
    void TearDown() override { phone::revokePhoneService(); }

    // Sends to one number through the service as it is registered now; the
    // message box's text and what went to stderr.
    std::pair<std::string, std::string> sendOnce()
    {
        phone::PhoneLink link(TokenTable);
        send::SendWorkflow workflow(&window, QString(), record, link);
        driver.expect<send::PinDialog>([](QWidget* d) {
            QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("pinEdit")),
                             QStringLiteral("1234"));
            test::clickControl(d, send::PinDialog::OkButton);
        });
        driver.expect<send::SendDialog>(
            [](QWidget* d) { test::clickControl(d, send::SendDialog::SendButton); });
        boxes.clear();
        ::testing::internal::CaptureStderr();
        workflow.send(QStringLiteral("+45 12 34 56 78"));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(boxes.requests().size(), 1);
        EXPECT_EQ(boxes.requests().value(0).caption, QStringLiteral("Sending Failed"));
        return {boxes.requests().value(0).text.toStdString(), err};
    }

    settings::EmailSettings record;
    QWidget window;
    widgets::MessageBoxHook boxes;
    test::DialogDriver driver;
};

TEST_F(GatewaySend, aWrongPasswordShowsTheGatewaysAnswerWithoutThePassword)
{
    test::TempDir folder;
    test::KannelHarness gateway(folder.path());
    ASSERT_TRUE(gateway.start()) << gateway.error();
    const std::string url = gateway.sendsmsUrl(test::KannelHarness::User, "wrong-pw");
    ASSERT_TRUE(phone::installPhoneBackEnd("kannel:" + url));

    const auto [text, err] = sendOnce();
    const std::string endpoint = phone::parseGatewayAddress(url).address.value().endpoint;
    EXPECT_EQ(test::joinedLines(text), SendingError +
                                           " Sending to +4512345678 failed at message 1 of 6: the "
                                           "gateway refused the message (" +
                                           endpoint +
                                           " answered \"Authorization failed for sendsms\", HTTP "
                                           "403). Numbers sent before it: 0 of 1.");
    EXPECT_EQ(err.find("wrong-pw"), std::string::npos) << err;
    EXPECT_NE(err.find("(status 0x80040230)"), std::string::npos) << err;
}

TEST_F(GatewaySend, aGatewayNeverReachedIsNamedNotTakenForAPhone)
{
    const LoopbackPort closed(false);
    ASSERT_TRUE(
        phone::installPhoneBackEnd("kannel:http://u:topsecret@" + closed.endpoint().substr(7)));

    const auto [text, err] = sendOnce();
    const std::string start = "The SMS gateway cannot be reached. Sending to +4512345678 failed at "
                              "message 1 of 6: the gateway could not be reached (" +
                              closed.endpoint() + ": ";
    EXPECT_TRUE(text.starts_with("The SMS gateway cannot be reached.\n\n")) << text;
    EXPECT_TRUE(test::joinedLines(text).starts_with(start)) << text;
    EXPECT_TRUE(text.ends_with(").")) << text;
    EXPECT_EQ(err.find("topsecret"), std::string::npos) << err;
}

TEST_F(GatewaySend, aGatewayThatTakesTheMessageButNeverAnswersSaysItMayHaveGone)
{
    const LoopbackPort silent(true);
    const auto address = phone::parseGatewayAddress("http://u:p@" + silent.endpoint().substr(7));
    phone::registerPhoneService(std::make_shared<phone::KannelGateway>(
        address.address.value(), phone::GatewayTimeouts{500ms, 300ms}));

    const auto [text, err] = sendOnce();
    EXPECT_EQ(test::joinedLines(text),
              SendingError +
                  " Sending to +4512345678 failed at message 1 of 6: the "
                  "gateway did not answer in time, so the message may have "
                  "gone out (" +
                  silent.endpoint() +
                  ": no answer within 300 ms). Numbers sent before it: 0 of 1.");
}

} // namespace
