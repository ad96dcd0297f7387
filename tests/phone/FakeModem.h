#pragma once

// An AT-command GSM modem on a pseudo-terminal, answering what libgammu's AT
// driver asks while connecting, sending text messages in PDU mode and reading
// the phonebook. Faults are scripted per message; everything it receives is
// kept for the test to inspect.

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mailvane::test {

struct FakePhonebookEntry
{
    int location;
    std::string number;
    int numberType; // 145 international, 129 otherwise
    std::u16string name;
};

class FakeModem
{
public:
    enum class Answer
    {
        Accept,   // +CMGS: <ref> and OK
        Error,    // ERROR
        CmsError, // +CMS ERROR: 500
        Silence,  // nothing at all
        Vanish,   // the device goes away once the message is in
    };

    FakeModem();
    ~FakeModem();
    FakeModem(const FakeModem&) = delete;
    FakeModem& operator=(const FakeModem&) = delete;

    // The terminal's path, as a phone device.
    const std::string& devicePath() const { return m_path; }

    // How to answer the n-th message (1-based, counted over the modem's life).
    void scriptMessage(int number, Answer answer);
    // Answer nothing at all, to any command.
    void setSilent(bool silent);
    void setPhonebook(const std::string& memory, std::vector<FakePhonebookEntry> entries, int size);

    // The PDUs of every AT+CMGS, as hexadecimal text, with the length it announced.
    struct Submission
    {
        int announcedLength;
        std::string pduHex;
    };
    std::vector<Submission> submissions() const;
    std::vector<std::string> commands() const;

private:
    void serve();
    void handleLine(std::string line);
    void handlePdu(std::string pdu);
    std::string answerFor(const std::string& command);
    std::string phonebookRead(const std::string& range);
    void reply(const std::string& text);
    void vanish();

    std::string m_path;
    int m_master = -1;
    int m_slave = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    bool m_echo = true;
    bool m_silent = false;
    bool m_inPdu = false;
    int m_announcedLength = 0;
    int m_messages = 0;
    std::string m_charset = "GSM";
    std::string m_memory = "SM";
    std::map<int, Answer> m_script;
    std::map<std::string, std::pair<int, std::vector<FakePhonebookEntry>>> m_phonebooks;
    std::vector<Submission> m_submissions;
    std::vector<std::string> m_commands;
    std::string m_buffer;
};

} // namespace mailvane::test
