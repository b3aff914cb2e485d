// Jobs and steps: the unit of work a device model hands to its transport.
//
// How a device model builds and runs a job (all calls on its CBootProtocol):
//   uint32_t job = transport.CreateJob();                       // 0 = failed
//   transport.AddStep(job, kStepFlashRead, StepArgs::Read(0x56000, 1, buffer));
//   transport.AddStep(job, kStepFlashWrite, StepArgs::Write(0x52000, 256, data, 0));
//   transport.RunJob(job);                                       // 1 = worker started
//   while (!transport.JobCompleted(job)) sleep 10 ms;  (JobProgress(job) meanwhile)
//   bool ok = transport.JobSuccessful(job);
//   transport.DeleteJob(job);                                    // before building the next one
// AddStep copies the StepArgs record; the buffers and out words it points to are the model's
// and must stay valid until the job is deleted. Steps of one job run in the order added, on
// the job's own worker thread, which opens the device for the job and closes it afterwards.
#ifndef QUARRY_DRIVER_HID_JOB_H
#define QUARRY_DRIVER_HID_JOB_H

#include <cstdint>

namespace QuarryDriver {

// Step types; the number is what AddStep takes. Types above 9 are refused.
enum StepType : std::uint32_t {
    kStepHandshake = 0,     // args.out: 32-bit flag, 1 when the device took the handshake; 1 unit
    kStepIdentityTest = 1,  // args.out: 1 when the boot loader runs ("HID"), 0 for the application ("APP"); 1 unit
    kStepFlashRead = 2,     // "RD_FLA": address, length, buffer; `length` units
    kStepMcuRead = 3,       // "RD_MCU": address, length, buffer; `length` units
    kStepFlashWrite = 4,    // "WR_FLA": address, length (multiple of 256), data, lastSegment; 256 per non-0xFF block
    kStepMcuWrite = 5,      // "WR_MCU": as kStepFlashWrite
    kStepReset = 6,         // "RE_MCU": no arguments; 1 unit
    kStepReadById = 7,      // "RMbyID": address = memory id, length, buffer; `length` units
    kStepWriteById = 8,     // "WMbyID": address = memory id, length (multiple of 256), data, lastSegment; `length` units
    kStepCommand = 9,       // "SE_CMD": words[0..2]; 1 unit
};
inline constexpr std::uint32_t kStepTypeCount = 10;

// Size of one write block; write lengths must be a whole number of them.
inline constexpr std::uint32_t kWriteBlockSize = 256;

// Arguments of one step. Only the fields named for the step's type are used.
struct StepArgs {
    std::uint32_t address = 0;            // types 2-5: memory address; 7, 8: memory id
    std::uint32_t length = 0;             // types 2-5, 7, 8: byte count
    std::uint8_t* buffer = nullptr;       // types 2, 3, 7: receives `length` bytes
    const std::uint8_t* data = nullptr;   // types 4, 5, 8: `length` bytes to send
    std::uint32_t lastSegment = 0;        // types 4, 5, 8: 1 ends the write with "END", 0 with "CON"
    std::uint32_t* out = nullptr;         // types 0, 1: result word
    std::uint16_t words[3] = {0, 0, 0};   // type 9: the command's three words

    static StepArgs Out(std::uint32_t* outWord) { StepArgs a; a.out = outWord; return a; }
    static StepArgs None() { return StepArgs{}; }
    static StepArgs Read(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer)
    {
        StepArgs a; a.address = address; a.length = length; a.buffer = buffer; return a;
    }
    static StepArgs Write(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                          std::uint32_t lastSegment)
    {
        StepArgs a; a.address = address; a.length = length; a.data = data; a.lastSegment = lastSegment; return a;
    }
    static StepArgs Command(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3)
    {
        StepArgs a; a.words[0] = w1; a.words[1] = w2; a.words[2] = w3; return a;
    }
};

}  // namespace QuarryDriver

#endif
