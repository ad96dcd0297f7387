// The message a second start sends the running program: any bytes are a
// whole message (raise, or open one absolute path), the beginning of one, or
// refused with a reason; nothing else can reach the window. A message reads
// back as the very bytes it is encoded to, and arrives whole however it is
// cut into pieces on the way.

#include "FuzzCheck.h"
#include "InstanceMessage.h"

#include <algorithm>

using namespace mailvane::app::instance_message;

namespace {

// The beginnings a connection may have seen before the rest arrived: the
// short ones, where the header is read, and the one just before the end.
void checkBeginnings(std::string_view message)
{
    constexpr std::size_t ShortBeginnings = MaxHeaderBytes + 8;
    for (std::size_t length = 0; length < std::min(message.size(), ShortBeginnings); ++length)
        FUZZ_CHECK(parse(message.substr(0, length)).status == Status::Incomplete);
    FUZZ_CHECK(parse(message.substr(0, message.size() - 1)).status == Status::Incomplete);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view bytes = mailvane::fuzz::textOf(data, size);
    const ParseResult result = parse(bytes);
    switch (result.status) {
    case Status::Complete: {
        const Request& request = result.request;
        FUZZ_CHECK(result.problem.empty());
        FUZZ_CHECK(request.activationToken.empty() || tokenCanTravel(request.activationToken));
        if (request.kind == Kind::Open) {
            FUZZ_CHECK(!request.path.empty() && request.path.front() == '/');
            FUZZ_CHECK(request.path.size() <= MaxPathBytes);
            FUZZ_CHECK(request.path.find('\0') == std::string::npos);
        } else {
            FUZZ_CHECK(request.path.empty());
        }
        FUZZ_CHECK(encode(request) == std::string(bytes));
        checkBeginnings(bytes);
        // Nothing may follow a message.
        FUZZ_CHECK(parse(std::string(bytes) + '/').status == Status::Invalid);
        break;
    }
    case Status::Incomplete:
        FUZZ_CHECK(result.problem.empty());
        FUZZ_CHECK(bytes.size() < MaxMessageBytes);
        break;
    case Status::Invalid:
        FUZZ_CHECK(!result.problem.empty());
        // Refused for good: no more bytes make it a message.
        FUZZ_CHECK(parse(std::string(bytes) + '\n').status == Status::Invalid);
        FUZZ_CHECK(parse(std::string(bytes) + '/').status == Status::Invalid);
        break;
    default:
        FUZZ_CHECK(false);
    }
    return 0;
}
