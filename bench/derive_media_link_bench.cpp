// DeriveMediaLink per call on page links and on non-links of growing length, and qmz-link's
// DeriveMediaLinkFromUtf8 on a page link and a near miss, with the number of heap allocations each
// call makes.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "bench/counting_allocator.hpp"
#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"

namespace {

void Report(benchmark::State& state, std::size_t allocationsBefore, std::size_t length) {
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(qmz::bench::AllocationCount() - allocationsBefore), benchmark::Counter::kAvgIterations);
    state.counters["chars"] = static_cast<double>(length);
}

void Derive(benchmark::State& state, const qmz::Text& text) {
    const std::size_t before = qmz::bench::AllocationCount();
    for (auto _ : state) {
        auto link = qmz::DeriveMediaLink(text);
        benchmark::DoNotOptimize(link);
    }
    Report(state, before, text.size());
}

void DeriveFromUtf8(benchmark::State& state, const std::string& bytes) {
    std::array<char, qmz::LongestUtf8MediaLink> out{};
    const std::size_t before = qmz::bench::AllocationCount();
    for (auto _ : state) {
        auto link = qmz::DeriveMediaLinkFromUtf8(bytes, out);
        benchmark::DoNotOptimize(link);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, before, bytes.size());
}
std::string Ascii(const qmz::Text& text) {
    return {text.begin(), text.end()};
}

// Not a link, yet as long as a www page link would be and beginning like one almost to the end.
qmz::Text NearMiss(std::size_t length) {
    qmz::Text text(qmz::PageLinkPrefixWww);
    text.back() = u'.';
    text.resize(length, u'x');
    return text;
}

void PageLink(benchmark::State& state) {
    Derive(state, qmz::Text(qmz::PageLinkPrefix) + u"ab12CD34");
}
void WwwPageLink(benchmark::State& state) {
    Derive(state, qmz::Text(qmz::PageLinkPrefixWww) + u"ab12CD34");
}
void NonLink(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    Derive(state, length == 0 ? qmz::Text() : NearMiss(length));
}

void Utf8PageLink(benchmark::State& state) {
    DeriveFromUtf8(state, Ascii(qmz::Text(qmz::PageLinkPrefix) + u"ab12CD34"));
}
void Utf8NonLink(benchmark::State& state) {
    DeriveFromUtf8(state, Ascii(NearMiss(34)));
}

}  // namespace

BENCHMARK(PageLink);
BENCHMARK(WwwPageLink);
BENCHMARK(NonLink)->Arg(0)->Arg(30)->Arg(34)->Arg(1'000'000);
BENCHMARK(Utf8PageLink);
BENCHMARK(Utf8NonLink);

BENCHMARK_MAIN();
