#pragma once

// A phone service that writes down every call the program makes, with its
// arguments, in order, and answers as a test scripts it.

#include "PhoneService.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace mailvane::test {

struct ScriptedField
{
    std::int32_t kind;
    std::u16string value;
};

struct ScriptedStore
{
    std::int32_t reportedCount = 0;
    std::vector<std::vector<ScriptedField>> entries;
    // A store that cannot be listed: the count and every entry request
    // answer this, from the entry at `failingFrom` on.
    phone::HRESULT failure = 0;
    std::size_t failingFrom = 0;
};

struct RecordingScript
{
    bool registerPhoneService = true;
    bool registerMessage = true;
    bool registerContacts = true;
    phone::HRESULT openPhoneStatus = 0;
    std::string openPhoneAccount; // what a failing openPhone says

    bool openPhoneGivesSession = true;
    phone::PhoneValue phoneValue = 0x5150;
    // Status of the n-th sendMessage call (1-based); S_OK when not listed.
    std::map<int, phone::HRESULT> sendStatus;
    // What the n-th sendMessage call says with its failure, if anything.
    std::map<int, std::string> sendAccount;
    // Keyed by the selector pair.
    std::map<std::pair<std::int32_t, std::int32_t>, ScriptedStore> stores;
};

// What the data object held when a message was handed to the sender.
struct SentMessage
{
    int messageObject = 0; // which message object (creation number)
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> data;
    std::int32_t dataCoding = -1;
    std::int32_t statusReport = -1;
    phone::PhoneValue phoneValue = 0;
    std::u16string recipient;
    int reference = -1;
};

struct Recording
{
    std::vector<std::string> calls;
    std::vector<SentMessage> sent;
    int liveObjects = 0;
    int messageObjectsCreated = 0;
};

// Registers the scripted classes; the destructor revokes them.
class RecordingService
{
public:
    explicit RecordingService(RecordingScript script = {});
    ~RecordingService();
    RecordingService(const RecordingService&) = delete;
    RecordingService& operator=(const RecordingService&) = delete;

    const Recording& recording() const { return *m_recording; }
    // The script the classes follow; changes apply to the next call.
    RecordingScript& script() { return *m_script; }
    void clearCalls() { m_recording->calls.clear(); }

private:
    std::shared_ptr<RecordingScript> m_script;
    std::shared_ptr<Recording> m_recording;
};

} // namespace mailvane::test
