// Times the provisioning pipeline (record -> document -> WBXML -> push ->
// messages) for a maximal record, and libwbxml converting the same document
// from XML. The last line of output gives both medians (of CPU time per
// iteration over the repetitions) and their ratio.

#include "DocumentBuilder.h"
#include "MessageSegmenter.h"
#include "PushBuilder.h"
#include "SampleRecords.h"
#include "WbxmlEncoder.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <wbxml/wbxml.h>

using namespace mailvane;

namespace {

constexpr int Repetitions = 15;
constexpr const char* Pin = "1234567890";

const provisioning::TokenTables& sharedTables()
{
    static const provisioning::TokenTables tables = [] {
        provisioning::TokenTables t;
        t.load(MAILVANE_TOKEN_TABLE_PATH);
        return t;
    }();
    return tables;
}

const settings::EmailSettings& benchRecord()
{
    static const settings::EmailSettings record = test::maximalRecord();
    return record;
}

void pipeline(benchmark::State& state)
{
    const provisioning::TokenTables& tables = sharedTables();
    provisioning::MessageSegmenter segmenter;
    if (!provisioning::buildDocument(benchRecord()) ||
        !provisioning::encodeProvisioningPush(tables, *provisioning::buildDocument(benchRecord()),
                                              provisioning::userPinSecurity(Pin))) {
        state.SkipWithError("the maximal record does not encode");
        return;
    }
    for (auto _ : state) {
        const auto document = provisioning::buildDocument(benchRecord());
        const auto push = provisioning::encodeProvisioningPush(tables, *document,
                                                               provisioning::userPinSecurity(Pin));
        segmenter.countMessages(*push);
        const std::uint8_t reference = segmenter.nextReference();
        for (unsigned i = 0; i < segmenter.messageCount(); ++i) {
            auto header = segmenter.buildHeader(reference, static_cast<std::uint8_t>(i + 1));
            auto segment = segmenter.cutSegment(*push, i);
            auto message = provisioning::MessageSegmenter::wrapSegment(std::move(*segment));
            benchmark::DoNotOptimize(header);
            benchmark::DoNotOptimize(message);
        }
    }
    state.counters["messages"] = segmenter.messageCount();
}

// The document as the XML it stands for: the root element that the WBXML
// header supplies put around it.
std::string documentAsXml()
{
    return "<?xml version=\"1.0\"?>\n"
           "<!DOCTYPE wap-provisioningdoc PUBLIC \"-//WAPFORUM//DTD PROV 1.0//EN\" "
           "\"http://www.wapforum.org/DTD/prov.dtd\">\n"
           "<wap-provisioningdoc version=\"1.0\">\n" +
           provisioning::buildDocument(benchRecord()).value_or(std::string{}) +
           "</wap-provisioningdoc>\n";
}

void libwbxml(benchmark::State& state)
{
    std::string xml = documentAsXml();
    auto* text = reinterpret_cast<WB_UTINY*>(xml.data());
    const auto length = static_cast<WB_ULONG>(xml.size());
    for (auto _ : state) {
        WBXMLConvXML2WBXML* conv = nullptr;
        if (wbxml_conv_xml2wbxml_create(&conv) != WBXML_OK) {
            state.SkipWithError("libwbxml: no converter");
            return;
        }
        // Like our encoder: WBXML 1.3, no string table.
        wbxml_conv_xml2wbxml_set_version(conv, WBXML_VERSION_13);
        wbxml_conv_xml2wbxml_disable_string_table(conv);
        WB_UTINY* wbxml = nullptr;
        WB_ULONG wbxmlLength = 0;
        const WBXMLError error = wbxml_conv_xml2wbxml_run(conv, text, length, &wbxml, &wbxmlLength);
        wbxml_conv_xml2wbxml_destroy(conv);
        if (error != WBXML_OK) {
            state.SkipWithError("libwbxml could not convert the document");
            return;
        }
        benchmark::DoNotOptimize(wbxml);
        std::free(wbxml);
    }
}

BENCHMARK(pipeline)->Unit(benchmark::kMicrosecond)->Repetitions(Repetitions);
BENCHMARK(libwbxml)->Unit(benchmark::kMicrosecond)->Repetitions(Repetitions);

// Keeps the median CPU time of each benchmark as the console reporter prints
// it: CPU time, so that other processes on a shared machine do not count.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    // No colours: scripts read the line printed after this report.
    MedianReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                !run.error_occurred)
                m_medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double median(const std::string& name) const
    {
        const auto it = m_medians.find(name);
        return it == m_medians.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_medians; // microseconds, the benchmarks' unit
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double pipelineUs = reporter.median("pipeline");
    const double libwbxmlUs = reporter.median("libwbxml");
    std::fflush(stdout);
    std::printf("pipeline_us=%.3f libwbxml_us=%.3f ratio=%.1f\n", pipelineUs, libwbxmlUs,
                pipelineUs > 0 ? libwbxmlUs / pipelineUs : 0.0);
    return pipelineUs > 0 && libwbxmlUs > 0 ? 0 : 1;
}
