#include "KannelHarness.h"

#include <array>
#include <curl/curl.h>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <optional>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace mailvane::test {
namespace {

constexpr const char* Bearerbox = "/usr/sbin/bearerbox";
constexpr const char* Smsbox = "/usr/sbin/smsbox";
constexpr const char* Fakesmsc = "/usr/lib/kannel/test/fakesmsc";
constexpr const char* AdminPassword = "harness";
constexpr const char* FakesmscLog = "fakesmsc.log";

// Free TCP ports on loopback, all distinct: each stays bound until all are chosen.
std::vector<unsigned> freeLoopbackPorts(std::size_t count)
{
    std::vector<int> sockets;
    std::vector<unsigned> ports;
    for (std::size_t i = 0; i < count; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            if (fd >= 0)
                close(fd);
            break;
        }
        sockets.push_back(fd);
        ports.push_back(ntohs(address.sin_port));
    }
    for (const int fd : sockets)
        close(fd);
    return ports;
}

std::size_t collect(char* data, std::size_t size, std::size_t count, void* target)
{
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// The body of a short GET on loopback, or empty.
std::string fetch(const std::string& url)
{
    CURL* curl = curl_easy_init();
    if (!curl)
        return {};
    std::string body;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 2000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(curl) != CURLE_OK)
        body.clear();
    curl_easy_cleanup(curl);
    return body;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<std::uint8_t> urlDecoded(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            bytes.push_back(
                static_cast<std::uint8_t>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(text[i] == '+' ? ' ' : text[i]));
        }
    }
    return bytes;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

std::vector<ReceivedMessage> parseFakesmscLog(const std::string& text)
{
    std::vector<ReceivedMessage> messages;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t marker = line.find("Got message ");
        const std::size_t open = line.find(": <", marker);
        const std::size_t close = line.rfind('>');
        if (marker == std::string::npos || open == std::string::npos ||
            close == std::string::npos || close < open)
            continue;
        std::istringstream fields(line.substr(open + 3, close - open - 3));
        ReceivedMessage message;
        std::string type;
        std::string udh;
        std::string data;
        fields >> message.from >> message.to >> type;
        if (type == "udh")
            fields >> udh >> type;
        fields >> data;
        message.udh = urlDecoded(udh);
        message.data = urlDecoded(data);
        messages.push_back(std::move(message));
    }
    return messages;
}

std::vector<ReceivedPush> reassemblePushes(const std::vector<ReceivedMessage>& messages)
{
    struct Parts
    {
        std::size_t push; // index into the result
        std::map<std::uint8_t, std::vector<std::uint8_t>> bySequence;
        std::uint8_t count = 0;
    };
    std::vector<ReceivedPush> pushes;
    std::map<std::pair<std::string, std::uint8_t>, Parts> open;
    for (const ReceivedMessage& message : messages) {
        // The concatenation element (00 03 reference count sequence), if any.
        const std::vector<std::uint8_t>& udh = message.udh;
        std::optional<std::size_t> concatenation;
        for (std::size_t at = 1; at + 1 < udh.size(); at += 2 + udh[at + 1]) {
            if (udh[at] == 0x00 && udh[at + 1] == 3 && at + 4 < udh.size())
                concatenation = at + 2;
        }
        if (!concatenation) {
            pushes.push_back({message.to, message.data, true});
            continue;
        }
        const std::uint8_t reference = udh[*concatenation];
        const std::uint8_t count = udh[*concatenation + 1];
        const std::uint8_t sequence = udh[*concatenation + 2];
        auto [entry, added] = open.try_emplace({message.to, reference});
        Parts& parts = entry->second;
        if (added) {
            parts.push = pushes.size();
            parts.count = count;
            pushes.push_back({message.to, {}, false});
        }
        parts.bySequence[sequence] = message.data;
        if (parts.bySequence.size() == parts.count) {
            ReceivedPush& push = pushes[parts.push];
            for (const auto& [number, data] : parts.bySequence)
                push.bytes.insert(push.bytes.end(), data.begin(), data.end());
            push.complete = true;
            open.erase(entry);
        }
    }
    return pushes;
}

KannelHarness::KannelHarness(std::filesystem::path folder, KannelLimits limits)
    : m_folder(std::move(folder)), m_limits(limits)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

KannelHarness::~KannelHarness()
{
    stop();
}

void KannelHarness::writeConfiguration() const
{
    const std::string folder = m_folder.string();
    std::ofstream conf(m_folder / "kannel.conf");
    conf << "group = core\n"
         << "admin-port = " << m_adminPort << "\n"
         << "admin-interface = 127.0.0.1\n"
         << "admin-password = " << AdminPassword << "\n"
         << "status-password = " << AdminPassword << "\n"
         << "admin-allow-ip = 127.0.0.1\n"
         << "smsbox-interface = 127.0.0.1\n"
         << "smsbox-port = " << m_smsboxPort << "\n"
         << "box-allow-ip = 127.0.0.1\n"
         << "log-file = \"" << folder << "/bearerbox.log\"\n"
         << "log-level = 2\n"
         // Messages queued when bearerbox stops are sent after it restarts.
         << "store-type = file\n"
         << "store-location = \"" << folder << "/bearerbox.store\"\n";
    if (m_limits.outgoingQueueLimit > 0)
        conf << "sms-outgoing-queue-limit = " << m_limits.outgoingQueueLimit << "\n";
    conf << "\n"
         << "group = smsc\n"
         << "smsc = fake\n"
         << "smsc-id = fake\n"
         << "host = 127.0.0.1\n"
         << "port = " << m_smscPort << "\n"
         << "connect-allow-ip = 127.0.0.1\n";
    if (m_limits.throughput > 0)
        conf << "throughput = " << m_limits.throughput << "\n";
    conf << "\n"
         << "group = smsbox\n"
         << "bearerbox-host = 127.0.0.1\n"
         << "bearerbox-port = " << m_smsboxPort << "\n"
         << "sendsms-interface = 127.0.0.1\n"
         << "sendsms-port = " << m_sendsmsPort << "\n"
         << "log-file = \"" << folder << "/smsbox.log\"\n"
         << "log-level = 2\n"
         << "\n"
         << "group = sendsms-user\n"
         << "username = " << User << "\n"
         << "password = " << Password
         << "\n"
         // So that sendota may cut what it builds into several messages.
         << "max-messages = 10\n"
         << "concatenation = true\n";
}

bool KannelHarness::statusShows(const std::string& text) const
{
    const std::string status = fetch("http://127.0.0.1:" + std::to_string(m_adminPort) +
                                     "/status.txt?password=" + AdminPassword);
    return status.find(text) != std::string::npos;
}

bool KannelHarness::start(std::chrono::milliseconds limit)
{
    for (const char* program : {Bearerbox, Smsbox, Fakesmsc}) {
        if (access(program, X_OK) != 0) {
            m_error = std::string(program) + " is missing (scripts/setup installs kannel and "
                                             "kannel-extras)";
            return false;
        }
    }
    if (m_adminPort == 0) {
        const std::vector<unsigned> ports = freeLoopbackPorts(4);
        if (ports.size() != 4) {
            m_error = "no free loopback ports";
            return false;
        }
        m_adminPort = ports[0];
        m_smsboxPort = ports[1];
        m_smscPort = ports[2];
        m_sendsmsPort = ports[3];
        writeConfiguration();
    }
    const std::string conf = (m_folder / "kannel.conf").string();

    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto left = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
    };
    if (!m_bearerbox.start({Bearerbox, "-v", "2", conf}, m_folder, m_folder / "bearerbox.out",
                           m_folder / "bearerbox.err") ||
        !waitUntil([&] { return !m_bearerbox.running() || statusShows("Status: running"); },
                   left()) ||
        !m_bearerbox.running()) {
        m_error = "bearerbox did not come up; see " + (m_folder / "bearerbox.err").string();
        stop();
        return false;
    }
    // fakesmsc sends nothing of its own (-m 0) and logs what it receives.
    if (!m_fakesmsc.start({Fakesmsc, "-H", "127.0.0.1", "-r", std::to_string(m_smscPort), "-m", "0",
                           "0 0 text unused"},
                          m_folder, m_folder / "fakesmsc.out", m_folder / FakesmscLog) ||
        !waitUntil([&] { return statusShows("FAKE:" + std::to_string(m_smscPort) + " (online"); },
                   left())) {
        m_error = "fakesmsc did not connect; see " + (m_folder / FakesmscLog).string();
        stop();
        return false;
    }
    if (!m_smsbox.start({Smsbox, "-v", "2", conf}, m_folder, m_folder / "smsbox.out",
                        m_folder / "smsbox.err") ||
        !waitUntil(
            [&] {
                return statusShows("smsbox:") &&
                       !fetch("http://127.0.0.1:" + std::to_string(m_sendsmsPort) +
                              "/cgi-bin/sendsms")
                            .empty();
            },
            left())) {
        m_error = "smsbox did not come up; see " + (m_folder / "smsbox.err").string();
        stop();
        return false;
    }
    return true;
}

void KannelHarness::stop()
{
    // smsbox first, so that it does not reconnect to a bearerbox going away.
    m_smsbox.stop();
    m_fakesmsc.stop();
    m_bearerbox.stop();
}

void KannelHarness::stopSmsbox()
{
    m_smsbox.stop();
}

bool KannelHarness::restart(std::chrono::milliseconds pause, std::chrono::milliseconds limit)
{
    stop();
    // fakesmsc starts a new log: keep what the last one received.
    std::filesystem::rename(m_folder / FakesmscLog,
                            m_folder / (std::to_string(m_restarts++) + "." + FakesmscLog));
    std::this_thread::sleep_for(pause);
    return start(limit);
}

std::string KannelHarness::sendsmsUrl() const
{
    return sendsmsUrl(User, Password);
}

std::string KannelHarness::sendsmsUrl(const std::string& user, const std::string& password) const
{
    return "http://" + user + ":" + password + "@127.0.0.1:" + std::to_string(m_sendsmsPort) +
           "/cgi-bin/sendsms";
}

std::string KannelHarness::smsboxGet(const std::string& pathAndQuery) const
{
    return fetch("http://127.0.0.1:" + std::to_string(m_sendsmsPort) + pathAndQuery);
}

std::vector<ReceivedMessage> KannelHarness::received() const
{
    std::string text;
    for (unsigned earlier = 0; earlier < m_restarts; ++earlier)
        text += readFile(m_folder / (std::to_string(earlier) + "." + FakesmscLog));
    return parseFakesmscLog(text + readFile(m_folder / FakesmscLog));
}

bool KannelHarness::waitForReceived(std::size_t count, std::chrono::milliseconds limit) const
{
    return waitUntil([&] { return received().size() >= count; }, limit);
}

} // namespace mailvane::test
