// Test support: the largest single allocation made through operator new while a probe lives,
// to show that sizes read from a file are checked before anything is allocated for them.
#pragma once

#include <cstddef>

class AllocationProbe {
public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;

    std::size_t Largest() const;
};
