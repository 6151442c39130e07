// Reads arbitrary bytes through the line reader with a buffer of any size, handed out in pieces of
// any sizes, and compares the lines with a plain split of the whole input.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

#include "tests/support/line_split.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::size_t bufferSize = provider.ConsumeIntegralInRange<std::size_t>(1, 64);
    std::vector<std::size_t> pieces(provider.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::size_t& piece : pieces) {
        piece = provider.ConsumeIntegralInRange<std::size_t>(1, 80);
    }
    const std::string input = provider.ConsumeRemainingBytesAsString();
    // A throw from ReadAll (a misbehaving reader) ends the run as a crash, as the abort does.
    if (qmz::testing_support::ReadAll(input, bufferSize, pieces) != qmz::testing_support::PlainSplit(input, bufferSize)) {
        std::abort();
    }
    return 0;
}
