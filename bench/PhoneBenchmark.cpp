// What the program adds to each text message of a push on its way to the
// phone: a 10-part push through PhoneLink and the libgammu back end to a fake
// AT modem that answers at once. libgammu's own time (its connection set-up,
// and the pacing it applies to an AT modem while sending) is measured inside
// the back end and reported apart.

#include "DocumentBuilder.h"
#include "FakeModem.h"
#include "GammuPhone.h"
#include "MessageSegmenter.h"
#include "OpenSettings.h"
#include "PhoneLink.h"
#include "PushBuilder.h"
#include "ServiceObjects.h"
#include "TenMessageRecord.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>

using namespace mailvane;
using Clock = std::chrono::steady_clock;

namespace {

const std::filesystem::path TokenTable = bench::tokenTablePath();
using bench::Pin;
using bench::PushMessages;

double milliseconds(std::chrono::nanoseconds duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// A phone that takes every message at once, to show the program's own cost
// without any device behind it.
class InstantPhone final : public phone::PhoneDevice
{
public:
    phone::PhoneConnection connect() override { return {1, {}}; }
    phone::PhoneResult send(const phone::OutgoingMessage& message) override
    {
        benchmark::DoNotOptimize(message.userData.data());
        return platform::S_OK;
    }
    phone::StoreContents readContacts(phone::ContactStore) override { return {}; }
};

void BM_TenPartPushThroughGammuToFakeModem(benchmark::State& state)
{
    auto record = bench::tenMessageRecord("+4917012345");
    if (!record) {
        state.SkipWithError("no ten-message record");
        return;
    }
    test::FakeModem modem;
    auto device = std::make_shared<phone::GammuPhone>(phone::GammuTarget{modem.devicePath(), {}});
    phone::registerPhoneService(device);
    phone::PhoneLink link(TokenTable);
    link.setSettings(&*record);

    const auto connectStart = Clock::now();
    if (device->connect().value == 0) {
        state.SkipWithError("the fake modem did not connect");
        phone::revokePhoneService();
        return;
    }
    const auto connectTime = Clock::now() - connectStart;
    const auto before = device->libraryTime();

    std::chrono::nanoseconds wall{0};
    unsigned pushes = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto status = link.SendSettings(Pin).status;
        wall += Clock::now() - start;
        ++pushes;
        if (status != platform::S_OK)
            state.SkipWithError("the push was not sent");
    }
    const auto after = device->libraryTime();
    const auto inLibrary = (after.sending - before.sending) + (after.querying - before.querying);
    const double messages = static_cast<double>(pushes) * PushMessages;

    state.counters["connect_ms"] = milliseconds(connectTime);
    state.counters["per_message_ms"] = milliseconds(wall) / messages;
    state.counters["libgammu_per_message_ms"] = milliseconds(inLibrary) / messages;
    state.counters["added_per_message_ms"] = milliseconds(wall - inLibrary) / messages;
    state.counters["modem_submissions"] = static_cast<double>(modem.submissions().size());
    phone::revokePhoneService();
}
BENCHMARK(BM_TenPartPushThroughGammuToFakeModem)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_TenPartPushThroughAnInstantPhone(benchmark::State& state)
{
    auto record = bench::tenMessageRecord("+4917012345");
    if (!record) {
        state.SkipWithError("no ten-message record");
        return;
    }
    phone::registerPhoneService(std::make_shared<InstantPhone>());
    phone::PhoneLink link(TokenTable);
    link.setSettings(&*record);
    for (auto _ : state) {
        if (link.SendSettings(Pin).status != platform::S_OK)
            state.SkipWithError("the push was not sent");
    }
    state.counters["per_message"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * PushMessages,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    phone::revokePhoneService();
}
BENCHMARK(BM_TenPartPushThroughAnInstantPhone)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
