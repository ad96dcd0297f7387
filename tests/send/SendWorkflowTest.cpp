// The Send command end to end: the dialogs answered as an operator would,
// the messages sent through the simulated phone and read back from its
// outbox.

#include "SendWorkflow.h"

#include "CliRunner.h"
#include "DialogButton.h"
#include "DialogDriver.h"
#include "HexText.h"
#include "MessageBoxHook.h"
#include "MessageText.h"
#include "OpenSettings.h"
#include "PhoneBackEnd.h"
#include "PhoneLink.h"
#include "PhoneStatus.h"
#include "PinDialog.h"
#include "SendDialog.h"
#include "SendingLoop.h"
#include "ServiceObjects.h"
#include "SimulatedPhone.h"
#include "SkinMessageBox.h"
#include "SmsPduDecoder.h"
#include "TempDir.h"
#include "TextFile.h"
#include "WaitDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>

using namespace mailvane;
namespace fs = std::filesystem;
using widgets::MessageBoxHook;
using widgets::SkinMessageBox;

namespace {

using mailvane::test::readFile;

const fs::path Examples = MAILVANE_EXAMPLES_DIR;
const fs::path TokenTable = MAILVANE_TOKEN_TABLE_PATH;
const fs::path SettingsFile = Examples / "imap4-gprs.txt";
constexpr const char* Pin = "8642";
constexpr unsigned Warning = SkinMessageBox::MbOk | SkinMessageBox::MbIconExclamation;

struct SentPart
{
    std::string recipient;
    std::string line; // "HEADER DATA" in hex, as `encode --format messages` writes
};

// Every message of the outbox, decoded from its PDU.
std::vector<SentPart> outbox(const fs::path& folder)
{
    std::vector<SentPart> parts;
    std::istringstream lines(readFile(folder / "outbox.txt"));
    std::string pdu, readable;
    while (std::getline(lines, pdu) && std::getline(lines, readable)) {
        const auto decoded = test::decodeSubmit(pdu.substr(4));
        if (!decoded) {
            ADD_FAILURE() << "undecodable " << pdu;
            continue;
        }
        parts.push_back({decoded->destination, provisioning::hex::encode(decoded->userDataHeader) +
                                                   " " +
                                                   provisioning::hex::encode(decoded->userData)});
    }
    return parts;
}

std::vector<std::string> recipientsOf(const std::vector<SentPart>& parts)
{
    std::vector<std::string> recipients;
    for (const SentPart& part : parts) {
        if (recipients.empty() || recipients.back() != part.recipient)
            recipients.push_back(part.recipient);
    }
    return recipients;
}

// What mailvane-cli encodes for the same file, PIN and recipients.
std::vector<std::string> encodedMessages(const std::string& to, const fs::path& work)
{
    const auto run = test::runCli({"encode", SettingsFile.string(), "--pin", Pin, "--format",
                                   "messages", "--to", to, "--table", TokenTable.string()},
                                  work);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void answerPin(QWidget* dialog, const QString& pin)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("pinEdit"));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, pin);
    test::clickControl(dialog, send::PinDialog::OkButton);
}

// A phone that holds each message until the test lets it go.
class GatedPhone final : public phone::PhoneDevice
{
public:
    phone::PhoneConnection connect() override { return {1, {}}; }
    phone::PhoneResult send(const phone::OutgoingMessage&) override
    {
        std::unique_lock lock(m_mutex);
        ++m_entered;
        m_changed.wait(lock, [this] { return m_open; });
        return platform::S_OK;
    }
    phone::StoreContents readContacts(phone::ContactStore) override
    {
        return {platform::E_FAIL, {}};
    }
    bool holding() const
    {
        std::lock_guard lock(m_mutex);
        return m_entered > 0;
    }
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_entered = 0;
    bool m_open = false;
};

// The simulated phone, but the n-th message it is handed fails with the
// service's most general refusal.
class FailingPhone final : public phone::PhoneDevice
{
public:
    FailingPhone(unsigned failing, const fs::path& folder) : m_failing(failing), m_phone(folder) {}
    phone::PhoneConnection connect() override { return m_phone.connect(); }
    phone::PhoneResult send(const phone::OutgoingMessage& message) override
    {
        return ++m_handedIn == m_failing ? platform::E_FAIL : m_phone.send(message);
    }
    phone::StoreContents readContacts(phone::ContactStore) override
    {
        return {platform::E_FAIL, {}};
    }

private:
    unsigned m_failing;
    unsigned m_handedIn = 0;
    phone::SimulatedPhone m_phone;
};

class SendWorkflowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings::openSettingsFile(SettingsFile, record).ok());
        window.resize(640, 480);
        window.show();
        usePhone("sim:" + phoneDir.path().string());
    }
    void TearDown() override { phone::revokePhoneService(); }

    // The link is made after the service, as the main window makes it at start.
    void usePhone(const std::string& selection, const fs::path& table = TokenTable)
    {
        workflow.reset();
        link.reset();
        if (selection.empty())
            phone::revokePhoneService();
        else
            ASSERT_TRUE(phone::installPhoneBackEnd(selection));
        link = std::make_unique<phone::PhoneLink>(table);
        workflow = std::make_unique<send::SendWorkflow>(&window, QString(), record, *link);
    }
    void useDevice(std::shared_ptr<phone::PhoneDevice> device)
    {
        workflow.reset();
        link.reset();
        phone::registerPhoneService(std::move(device));
        link = std::make_unique<phone::PhoneLink>(TokenTable);
        workflow = std::make_unique<send::SendWorkflow>(&window, QString(), record, *link);
    }

    // Answers the PIN and confirms, noting the Send dialog's recipients box.
    void confirmWith(const QString& pin)
    {
        driver.expect<send::PinDialog>([pin](QWidget* d) { answerPin(d, pin); });
        driver.expect<send::SendDialog>([this](QWidget* d) {
            recipientsBox = static_cast<send::SendDialog*>(d)->recipientsBox()->toPlainText();
            test::clickControl(d, send::SendDialog::SendButton);
        });
    }

    QStringList captions() const
    {
        QStringList list;
        for (const auto& request : boxes.requests())
            list << request.caption + u'|' + request.text;
        return list;
    }

    test::TempDir phoneDir;
    test::TempDir work;
    settings::EmailSettings record;
    QWidget window;
    std::unique_ptr<phone::PhoneLink> link;
    std::unique_ptr<send::SendWorkflow> workflow;
    MessageBoxHook boxes;
    test::DialogDriver driver;
    QString recipientsBox;
};

TEST_F(SendWorkflowTest, sendsEachNumberInTurnAsTheCommandLineEncodesIt)
{
    struct Case
    {
        QString field;
        std::vector<std::string> numbers;
        QString shown;
    };
    // The Send dialog lists the numbers as they will be dialled.
    const Case cases[] = {
        {QStringLiteral("111; 222;"), {"111", "222"}, QStringLiteral("111\n222")},
        {QStringLiteral("040 123"), {"040123"}, QStringLiteral("040123")},
        {QStringLiteral(";;111"), {"111"}, QStringLiteral("111")},
        // Read whole: numbers far past the first 1023 characters still go.
        {QString(1030, u' ') + QStringLiteral("111;\t222"),
         {"111", "222"},
         QStringLiteral("111\n222")},
        // As a phone or an address book writes numbers: grouped, and wrapped
        // in direction marks that nobody sees.
        {QStringLiteral("\u202A+45 33-44-55-66\u202C; (040) 12.34/5"),
         {"+4533445566", "04012345"},
         QStringLiteral("+4533445566\n04012345")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        fs::remove(phoneDir / "outbox.txt");
        usePhone("sim:" + phoneDir.path().string()); // references start again at 1
        boxes.clear();
        confirmWith(QString::fromLatin1(Pin));
        workflow->send(c.field);

        EXPECT_EQ(recipientsBox, c.shown);
        EXPECT_EQ(captions(), QStringList{QStringLiteral(
                                  "Sending Successful|The e-mail settings were successfully sent "
                                  "to the target phone(s).")});
        EXPECT_EQ(boxes.requests().value(0).flags, SkinMessageBox::MbOk);
        const auto parts = outbox(phoneDir.path());
        EXPECT_EQ(recipientsOf(parts), c.numbers);
        const auto expected = encodedMessages(c.field.toStdString(), work.path());
        ASSERT_EQ(parts.size(), expected.size());
        for (std::size_t i = 0; i < parts.size(); ++i)
            EXPECT_EQ(parts[i].line, expected[i]) << "message " << i;
        EXPECT_FALSE(record.to);
        EXPECT_TRUE(driver.done());
    }
}

TEST_F(SendWorkflowTest, aFieldWithoutANumberIsMissingRecipientsBeforeAnyDialog)
{
    for (const QString& field :
         {QString(), QStringLiteral("  \t "), QStringLiteral(";"), QStringLiteral(" ; ;\t;")}) {
        SCOPED_TRACE(field.toStdString());
        boxes.clear();
        workflow->send(field);
        EXPECT_EQ(captions(),
                  QStringList{QStringLiteral("Recipients Missing|No recipients are selected.")});
        EXPECT_EQ(boxes.requests().value(0).flags, Warning);
    }
    EXPECT_TRUE(driver.seen().isEmpty());
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
    EXPECT_FALSE(record.to);
}

TEST_F(SendWorkflowTest, aPieceThatIsNoPhoneNumberStopsTheCommandBeforeThePin)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("111; Anna ;222"), QStringLiteral("\"Anna\" is not a phone number.")},
        {QStringLiteral("\u202A+45 1x\u202C"), QStringLiteral("\"+45 1x\" is not a phone number.")},
        {QStringLiteral("111;") + QString(21, u'9'),
         QStringLiteral("\"") + QString(21, u'9') + QStringLiteral("\" is not a phone number.")},
    };
    for (const auto& [field, message] : cases) {
        SCOPED_TRACE(field.toStdString());
        boxes.clear();
        ::testing::internal::CaptureStderr();
        workflow->send(field);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(captions(), QStringList{QStringLiteral("Recipients Invalid|") + message});
        EXPECT_EQ(boxes.requests().value(0).flags, Warning);
        EXPECT_EQ(err, "mailvane: " + message.toStdString() + "\n");
    }
    EXPECT_TRUE(driver.seen().isEmpty());
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
    EXPECT_FALSE(record.to);
}

TEST_F(SendWorkflowTest, aFailureStopsTheLoopAndSaysWhatFailedWhyAndWhatWasSent)
{
    const auto perPush = encodedMessages("111", work.path()).size();
    ASSERT_EQ(perPush, 6u);
    const fs::path missingTable = work / "missing" / "table.dat";
    const std::string error =
        "An error occurred while sending the e-mail settings to the target phone(s). ";
    struct Case
    {
        std::string phone;   // "" for no phone service at all, "fail" for FailingPhone
        std::string options; // phone.conf
        fs::path table;
        std::vector<std::string> sentTo;
        std::string message;
        std::string status;
    };
    const Case cases[] = {
        // The first message of the second number is refused.
        {"sim",
         "refuse = 7\n",
         TokenTable,
         {"111"},
         error + "Sending to 222 failed at message 1 of 6: the phone refused the message "
                 "(message 7 refused, as phone.conf asks). Numbers sent before it: 1 of 3. "
                 "Not tried: 333.",
         "0x80040210"},
        // The second of three fails with E_FAIL: the first was sent, the third
        // not tried.
        {"fail",
         "",
         TokenTable,
         {"111"},
         error + "Sending to 222 failed at message 1 of 6: the phone refused the message. "
                 "Numbers sent before it: 1 of 3. Not tried: 333.",
         "0x80004005"},
        {"sim",
         "unplugged = yes\n",
         TokenTable,
         {},
         "Phone isn't connected. Sending to 111 failed: the phone could not be reached "
         "(unplugged, as phone.conf says).",
         "0x80004004"},
        {"",
         "",
         TokenTable,
         {},
         error + "Sending to 111 failed: the phone service is not available. Numbers sent "
                 "before it: 0 of 3. Not tried: 222, 333.",
         "0x80004005"},
        {"sim",
         "",
         missingTable,
         {},
         error + "Sending to 111 failed: the token table " + missingTable.string() +
             " does not exist. Numbers sent before it: 0 of 3. Not tried: 222, 333.",
         "0x80004005"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        fs::remove(phoneDir / "outbox.txt");
        std::ofstream(phoneDir / "phone.conf") << c.options;
        if (c.phone == "fail")
            useDevice(std::make_shared<FailingPhone>(perPush + 1, phoneDir.path()));
        else
            usePhone(c.phone.empty() ? std::string() : "sim:" + phoneDir.path().string(), c.table);
        boxes.clear();
        confirmWith(QStringLiteral("1234"));
        ::testing::internal::CaptureStderr();
        workflow->send(QStringLiteral("111;222;333"));
        const std::string err = ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(boxes.requests().size(), 1);
        EXPECT_EQ(boxes.requests().front().caption, QStringLiteral("Sending Failed"));
        EXPECT_EQ(test::joinedLines(boxes.requests().front().text.toStdString()), c.message);
        EXPECT_EQ(boxes.requests().front().flags, Warning);
        // The same facts on one line of the terminal, with the status code.
        EXPECT_EQ(err, "mailvane: " + c.message + " (status " + c.status + ")\n");
        const auto parts = outbox(phoneDir.path());
        EXPECT_EQ(recipientsOf(parts), c.sentTo);
        if (!c.sentTo.empty()) {
            EXPECT_EQ(parts.size(), perPush); // all of 111's, none of 222's
        }
        EXPECT_FALSE(record.to);
    }
}

TEST_F(SendWorkflowTest, cancellingEitherDialogEndsSilently)
{
    driver.expect<send::PinDialog>(
        [](QWidget* d) { test::clickControl(d, send::PinDialog::CancelButton); });
    workflow->send(QStringLiteral("111"));
    driver.expect<send::PinDialog>([](QWidget* d) { answerPin(d, QStringLiteral("1")); });
    driver.expect<send::SendDialog>([this](QWidget* d) {
        EXPECT_EQ(record.to, "111"); // shown while the dialog is up
        test::clickControl(d, send::SendDialog::CancelButton);
    });
    workflow->send(QStringLiteral("111"));

    EXPECT_EQ(driver.seen(), (QStringList{QStringLiteral("mailvane::send::PinDialog"),
                                          QStringLiteral("mailvane::send::PinDialog"),
                                          QStringLiteral("mailvane::send::SendDialog")}));
    EXPECT_TRUE(boxes.requests().isEmpty());
    EXPECT_FALSE(record.to);
    EXPECT_FALSE(fs::exists(phoneDir / "outbox.txt"));
}

TEST_F(SendWorkflowTest, theWindowPaintsButTakesNoInputWhileASendRuns)
{
    auto phone = std::make_shared<GatedPhone>();
    phone::registerPhoneService(phone);
    link = std::make_unique<phone::PhoneLink>(TokenTable);
    workflow = std::make_unique<send::SendWorkflow>(&window, QString(), record, *link);

    // The main window's Send button, wired as the window wires it.
    auto sendButton = widgets::createDialogButton(QString(), &window, {20, 20}, 1024,
                                                  QStringLiteral("Send e-mail settings"));
    int commands = 0;
    QObject::connect(sendButton->window(), &widgets::SkinButtonWidget::commandPosted, &window, [&] {
        ++commands;
        workflow->send(QStringLiteral("111;222"));
    });

    int paints = 0;
    class PaintCounter : public QObject
    {
    public:
        explicit PaintCounter(int& count) : m_count(count) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++m_count;
            return false;
        }
        int& m_count;
    } counter(paints);
    window.installEventFilter(&counter);

    confirmWith(QStringLiteral("1234"));
    bool checked = false;
    driver.when(
        [&] { return phone->holding(); },
        [&] {
            send::WaitDialog* wait = workflow->waitDialog();
            ASSERT_NE(wait, nullptr);
            EXPECT_TRUE(wait->isVisible());
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return wait->progressText() == QStringLiteral("Sending to 111 (1 of 2)"); },
                2000));
            paints = 0;
            window.update();
            EXPECT_TRUE(QTest::qWaitFor([&] { return paints > 0; }, 2000));
            // Through the window system, as a real click comes.
            QWidget* button = sendButton->window();
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                              button->mapTo(&window, button->rect().center()));
            QTest::qWait(0);
            EXPECT_EQ(commands, 1);
            checked = true;
            phone->open();
        });
    sendButton->window()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !workflow->busy() && checked; }, 10000));
    EXPECT_EQ(commands, 1);
    EXPECT_EQ(captions(), QStringList{QStringLiteral(
                              "Sending Successful|The e-mail settings were successfully sent to "
                              "the target phone(s).")});
    EXPECT_EQ(driver.seen().count(QStringLiteral("mailvane::send::PinDialog")), 1);
}

TEST(SendOutcome, successHasNoIconAndAFailureShowsItsCauseAsWritten)
{
    phone::SendingOutcome sent;
    sent.numbersSent = sent.numberCount = 1;
    const send::OutcomeMessage success = send::outcomeMessage(sent);
    EXPECT_EQ(success.caption, QStringLiteral("Sending Successful"));
    EXPECT_EQ(success.flags, SkinMessageBox::MbOk);

    // A gateway's answer is UTF-8 and stays so.
    phone::SendingOutcome refused;
    refused.sent = false;
    refused.lastStatus = phone::E_GATEWAY_REFUSED;
    refused.numberCount = 1;
    refused.failedNumber = "111";
    refused.failure = {
        phone::PhoneResult(phone::E_GATEWAY_REFUSED, "Zo\u00eb's gateway answered \"Nej tak\""), 1,
        6};
    const send::OutcomeMessage failed = send::outcomeMessage(refused);
    EXPECT_EQ(failed.caption, QStringLiteral("Sending Failed"));
    EXPECT_EQ(failed.flags, Warning);
    EXPECT_EQ(failed.text,
              QStringLiteral("An error occurred while sending the e-mail settings to the target "
                             "phone(s).\n\nSending to 111 failed at message 1 of 6: the gateway "
                             "refused the message (Zo\u00eb's\ngateway answered \"Nej tak\").\n"
                             "Numbers sent before it: 0 of 1."));
}

} // namespace
