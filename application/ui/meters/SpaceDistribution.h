// One-dimensional space distribution: a row (or column) of segments, each with a preferred
// size, a bound and a weight, fitted into a given length. Spare length goes to the unbounded
// segments by weight; a deficit is taken from the segments that may shrink, by weight and by
// how far each may still give. The meter list lays out its cells with it.
#pragma once

#include <cstdint>
#include <vector>

namespace meters {

// A bound that marks a segment as unbounded: it may grow, and never shrinks.
inline constexpr std::int32_t kUnboundedSegment = 0x7FFFFFFF;

struct SpaceSegment {
    std::int32_t size = 0;       // the result
    std::int32_t preferred = 0;
    std::int32_t bound = 0;      // the smallest size when shrinking; kUnboundedSegment: grows
    std::int32_t weight = 1;
};

// A segment that keeps its size whatever the length: it neither grows nor shrinks.
SpaceSegment RigidSegment(std::int32_t size);
SpaceSegment FlexibleSegment(std::int32_t preferred, std::int32_t bound, std::int32_t weight);

// Sets every size from its preferred size, then grows or shrinks the sequence so that the
// sizes add up to `available`. False when that is not possible (nothing unbounded to grow,
// or not enough to give to shrink); the sizes are then the preferred ones.
bool DistributeSpace(std::vector<SpaceSegment>& segments, std::int32_t available);

// The start of every segment when they follow each other from `origin`, plus the end of the
// last one (one more entry than segments).
std::vector<std::int32_t> SegmentEdges(const std::vector<SpaceSegment>& segments, std::int32_t origin);

}  // namespace meters
