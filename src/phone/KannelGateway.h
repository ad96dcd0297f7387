#pragma once

// A Kannel SMS gateway in the place of the phone: each text message goes as
// one request to smsbox's sendsms interface, over libcurl.
//
// The gateway keeps no session and no contacts: connecting always succeeds
// (a gateway that is down shows at the first message, with a clear answer),
// and the contact stores are empty. post() may be called from several
// threads at once; each call uses a connection of its own from a small pool,
// so requests in flight never share one. send(), the window's way, tries a
// message the gateway refuses for now again, with the pauses a batch takes.

#include "GatewayAddress.h"
#include "PhoneStatus.h"
#include "SendsmsCodec.h"
#include "SmsGateway.h"

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace mailvane::phone {

class KannelGateway final : public SmsGateway
{
public:
    explicit KannelGateway(GatewayAddress address, GatewayTimeouts timeouts = {});
    ~KannelGateway() override;
    KannelGateway(const KannelGateway&) = delete;
    KannelGateway& operator=(const KannelGateway&) = delete;

    GatewayAnswer post(const OutgoingMessage& message) override;
    std::string describe(const GatewayAnswer& answer) const override;

    const GatewayAddress& address() const { return m_address; }

    PhoneConnection connect() override;
    PhoneResult send(const OutgoingMessage& message) override;
    StoreContents readContacts(ContactStore store) override;

    // The answer to the last message handed in through send().
    GatewayAnswer lastAnswer() const;

private:
    // post(), tried again while the gateway refuses for now, as a batch does.
    GatewayAnswer postRetrying(const OutgoingMessage& message);
    void* takeConnection();
    void giveBack(void* connection);

    GatewayAddress m_address;
    std::string m_commonQuery;
    GatewayTimeouts m_timeouts;
    mutable std::mutex m_mutex;
    std::vector<void*> m_idleConnections;
    GatewayAnswer m_lastAnswer;
};

} // namespace mailvane::phone
