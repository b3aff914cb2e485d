// The space distribution of the meter layout.
#include "application/ui/meters/SpaceDistribution.h"

#include <algorithm>

namespace meters {

namespace {

// Indices of the chosen segments, heaviest first; equal weights keep their order.
std::vector<std::size_t> ByWeight(const std::vector<SpaceSegment>& segments, std::vector<std::size_t> chosen)
{
    std::stable_sort(chosen.begin(), chosen.end(),
                     [&](std::size_t a, std::size_t b) { return segments[a].weight > segments[b].weight; });
    return chosen;
}

bool Grow(std::vector<SpaceSegment>& segments, std::int64_t extra)
{
    std::vector<std::size_t> growing;
    std::int64_t totalWeight = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (segments[i].bound == kUnboundedSegment) {
            growing.push_back(i);
            totalWeight += segments[i].weight;
        }
    }
    if (growing.empty() || totalWeight <= 0) {
        return false;
    }
    std::int64_t runningWeight = 0;
    std::int64_t handedOut = 0;
    for (std::size_t index : ByWeight(segments, std::move(growing))) {
        runningWeight += segments[index].weight;
        // The running total of shares ends at exactly the extra, so nothing is lost to rounding.
        const std::int64_t share = runningWeight * extra / totalWeight - handedOut;
        segments[index].size += static_cast<std::int32_t>(share);
        handedOut += share;
    }
    return true;
}

bool Shrink(std::vector<SpaceSegment>& segments, std::int64_t deficit)
{
    std::vector<std::size_t> shrinking;
    std::int64_t canGive = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (segments[i].size > segments[i].bound) {
            shrinking.push_back(i);
            canGive += static_cast<std::int64_t>(segments[i].size) - segments[i].bound;
        }
    }
    if (shrinking.empty() || canGive < deficit) {
        return false;
    }
    std::vector<std::size_t> order = ByWeight(segments, std::move(shrinking));
    auto front = order.begin();
    while (deficit >= 1) {
        std::int64_t total = 0;
        for (auto it = front; it != order.end(); ++it) {
            total += (static_cast<std::int64_t>(segments[*it].size) - segments[*it].bound) * segments[*it].weight;
        }
        if (total <= 0) {
            return false;  // only weightless segments are left: no share can be computed
        }
        std::int64_t running = 0;
        std::int64_t shared = 0;
        std::int64_t given = 0;
        for (auto it = front; it != order.end(); ++it) {
            SpaceSegment& segment = segments[*it];
            const std::int64_t room = static_cast<std::int64_t>(segment.size) - segment.bound;
            running += room * segment.weight;
            const std::int64_t share = running * deficit / total - shared;
            shared += share;
            const std::int64_t gives = std::min(share, room);
            segment.size -= static_cast<std::int32_t>(gives);
            given += gives;
        }
        deficit -= given;
        while (front != order.end() && segments[*front].size <= segments[*front].bound) {
            ++front;
        }
    }
    return true;
}

}  // namespace

SpaceSegment RigidSegment(std::int32_t size)
{
    return SpaceSegment{size, size, size, 1};
}

SpaceSegment FlexibleSegment(std::int32_t preferred, std::int32_t bound, std::int32_t weight)
{
    return SpaceSegment{preferred, preferred, bound, weight};
}

bool DistributeSpace(std::vector<SpaceSegment>& segments, std::int32_t available)
{
    std::int64_t sum = 0;
    for (SpaceSegment& segment : segments) {
        segment.size = segment.preferred;
        sum += segment.preferred;
    }
    bool fitted = true;
    if (sum < available) {
        fitted = Grow(segments, available - sum);
    } else if (sum > available) {
        fitted = Shrink(segments, sum - available);
    }
    if (!fitted) {
        for (SpaceSegment& segment : segments) {
            segment.size = segment.preferred;
        }
    }
    return fitted;
}

std::vector<std::int32_t> SegmentEdges(const std::vector<SpaceSegment>& segments, std::int32_t origin)
{
    std::vector<std::int32_t> edges;
    edges.reserve(segments.size() + 1);
    edges.push_back(origin);
    for (const SpaceSegment& segment : segments) {
        edges.push_back(edges.back() + segment.size);
    }
    return edges;
}

}  // namespace meters
