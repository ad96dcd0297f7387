// What the window adds to each text message of a send: a 10-message push to
// one number through the Send command's path after confirmation (the wait
// dialog, the worker hand-over, the sending loop, the progress posted back)
// to a phone that takes every message at once; and the same push through the
// sending loop alone, as mailvane-cli sends it, for comparison.

#include "BlockingCall.h"
#include "DocumentBuilder.h"
#include "MessageSegmenter.h"
#include "OpenSettings.h"
#include "PhoneLink.h"
#include "PushBuilder.h"
#include "SendWorkflow.h"
#include "SendingLoop.h"
#include "ServiceObjects.h"
#include "TenMessageRecord.h"
#include "TokenTables.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace mailvane;

namespace {

const std::filesystem::path TokenTable = bench::tokenTablePath();
using bench::Pin;
using bench::PushMessages;
constexpr int Repetitions = 20;

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

void perMessage(benchmark::State& state)
{
    // With real time in use, a rate counter is per wall-clock second.
    state.counters["per_message"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * PushMessages,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_TenMessagePushThroughTheWindow(benchmark::State& state)
{
    auto record = bench::tenMessageRecord();
    if (!record) {
        state.SkipWithError("no ten-message record");
        return;
    }
    phone::registerPhoneService(std::make_shared<InstantPhone>());
    phone::PhoneLink link(TokenTable);
    QWidget window;
    window.resize(800, 600);
    window.show();
    // The wait dialog paints its frame from the default skin when the build
    // drew one.
    platform::LibraryHandle skin;
#ifdef MAILVANE_DEFAULT_SKIN
    skin = platform::loadResourceLibrary(QStringLiteral(MAILVANE_DEFAULT_SKIN));
#endif
    state.counters["skinned"] = skin.isEmpty() ? 0 : 1;
    send::SendWorkflow workflow(&window, skin, *record, link);
    const std::vector<std::string> numbers{"+4917012345"};
    for (auto _ : state) {
        if (!workflow.deliver(numbers, QString::fromLatin1(Pin)).sent)
            state.SkipWithError("the push was not sent");
    }
    perMessage(state);
    platform::freeResourceLibrary(skin);
    phone::revokePhoneService();
}
BENCHMARK(BM_TenMessagePushThroughTheWindow)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(Repetitions)
    ->ReportAggregatesOnly(true);

void BM_TenMessagePushThroughTheLoopAlone(benchmark::State& state)
{
    auto record = bench::tenMessageRecord();
    if (!record) {
        state.SkipWithError("no ten-message record");
        return;
    }
    phone::registerPhoneService(std::make_shared<InstantPhone>());
    phone::PhoneLink link(TokenTable);
    const std::vector<std::string> numbers{"+4917012345"};
    for (auto _ : state) {
        if (!phone::sendToRecipients(link, *record, numbers, Pin).sent)
            state.SkipWithError("the push was not sent");
    }
    perMessage(state);
    phone::revokePhoneService();
}
BENCHMARK(BM_TenMessagePushThroughTheLoopAlone)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(Repetitions)
    ->ReportAggregatesOnly(true);

// One hand-over to the worker and back, with nothing to do there.
void BM_WorkerHandOver(benchmark::State& state)
{
    for (auto _ : state)
        send::runBlockingCall([] {});
}
BENCHMARK(BM_WorkerHandOver)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(Repetitions)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
