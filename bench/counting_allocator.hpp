#pragma once

#include <cstddef>

namespace qmz::bench {

// How many times operator new has been called in this program so far. The count is kept by the
// replacement operators in counting_allocator.cpp, which every benchmark program links in.
std::size_t AllocationCount();

}  // namespace qmz::bench
