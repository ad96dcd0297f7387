#include "TenMessageRecord.h"

#include "DocumentBuilder.h"
#include "MessageSegmenter.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "TokenTables.h"

#include <string>

namespace mailvane::bench {

namespace {

unsigned messageCount(const settings::EmailSettings& record)
{
    provisioning::TokenTables tables;
    tables.load(tokenTablePath());
    const auto document = provisioning::buildDocument(record);
    const auto push = document ? provisioning::encodeProvisioningPush(
                                     tables, *document, provisioning::userPinSecurity(Pin))
                               : std::nullopt;
    if (!push)
        return 0;
    provisioning::MessageSegmenter segmenter;
    segmenter.countMessages(*push);
    return segmenter.messageCount();
}

} // namespace

std::filesystem::path tokenTablePath()
{
    return MAILVANE_TOKEN_TABLE_PATH;
}

std::optional<settings::EmailSettings> tenMessageRecord(const char* to)
{
    const auto examples = std::filesystem::path(MAILVANE_SOURCE_DIR) / "examples";
    settings::EmailSettings record;
    if (!settings::openSettingsFile(examples / "pop3-gsm-proxies.txt", record).ok())
        return std::nullopt;
    if (to)
        record.to = to;
    std::string replyTo = "replies@example.net";
    for (int i = 0; i < 400; ++i) {
        record.replyToAddress = replyTo;
        const unsigned count = messageCount(record);
        if (count == PushMessages)
            return record;
        if (count > PushMessages || count == 0)
            return std::nullopt;
        replyTo.insert(0, "x");
    }
    return std::nullopt;
}

} // namespace mailvane::bench
