#pragma once
// Sweeps over every catalogue row or every EPSG system compare numbers with
// PROJ; they run whole in the ordinary build. Under the sanitizers, which look
// for memory and undefined-behaviour faults rather than for numbers, every
// code path of a sweep is met on a deterministic sample, at a fraction of the
// time the whole sweep takes there.
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(ZRPRJ_SANITIZE)
constexpr std::size_t kZrSweepStride = 20; // every twentieth item under the sanitizers
#else
constexpr std::size_t kZrSweepStride = 1;
#endif

// Whether the sweep takes its i-th item.
inline bool ZrSweepTakes(std::size_t i) {
    return i % kZrSweepStride == 0;
}
