// An ordered list of write steps with the data they send, built before a job exists so that
// the step order of an upload can be checked on its own and the job is built in one go.
#ifndef QUARRY_MODELS_WRITE_PLAN_H
#define QUARRY_MODELS_WRITE_PLAN_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device_library/src/transport/HidJob.h"

namespace QuarryDriver {

struct PlannedWrite {
    std::uint32_t type = kStepFlashWrite;  // kStepFlashWrite, kStepMcuWrite or kStepWriteById
    std::uint32_t address = 0;             // memory address, or the id of a write by id
    std::size_t buffer = 0;                // index into WritePlan::buffers
    std::uint32_t lastSegment = 0;         // 1 ends the write with "END", 0 with "CON"
};

struct WritePlan {
    std::vector<std::vector<std::uint8_t>> buffers;
    std::vector<PlannedWrite> steps;

    std::size_t AddBuffer(std::vector<std::uint8_t> bytes) {
        buffers.push_back(std::move(bytes));
        return buffers.size() - 1;
    }
    void AddWrite(std::uint32_t type, std::uint32_t address, std::size_t buffer, std::uint32_t lastSegment) {
        PlannedWrite step;
        step.type = type;
        step.address = address;
        step.buffer = buffer;
        step.lastSegment = lastSegment;
        steps.push_back(step);
    }
    // Adds a buffer and one write of it.
    void AddWrite(std::uint32_t type, std::uint32_t address, std::vector<std::uint8_t> bytes,
                  std::uint32_t lastSegment) {
        AddWrite(type, address, AddBuffer(std::move(bytes)), lastSegment);
    }
};

}  // namespace QuarryDriver

#endif
