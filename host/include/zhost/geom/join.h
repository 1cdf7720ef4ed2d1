#pragma once
// Joining loose curves end to end with a fuzz distance (ends closer than fuzz meet).
#include "zhost/core/status.h"
#include "zhost/geom/curve.h"

#include <cstddef>
#include <vector>

namespace zhost::geom {

struct JoinedChain {
    std::vector<Curve> curves;         // head to tail, reversed where needed
    std::vector<std::size_t> sources;  // input index of each curve
    std::vector<bool> reversedSources; // whether that input was reversed
    bool closed = false;
};

struct JoinResult {
    Status status = Status::ok;
    std::vector<JoinedChain> chains;
    // Exactly one chain, closed, using every input curve.
    bool singleClosedLoop = false;
};

// Chains the curves at ends that meet within fuzz. Where three or more ends meet, the chain
// stops there (the junction is ambiguous). Invalid curves give invalidInput, curves beyond the
// coordinate range outOfRange.
JoinResult joinCurves(const std::vector<Curve>& curves, double fuzz);

} // namespace zhost::geom
