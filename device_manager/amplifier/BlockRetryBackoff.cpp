// Per-block pauses between refused writes.
#include "device_manager/amplifier/BlockRetryBackoff.h"

#include <algorithm>
#include <bit>

namespace CobaltDeviceManager {
namespace {

std::uint64_t Milliseconds(std::chrono::milliseconds value)
{
    return static_cast<std::uint64_t>(std::max<std::chrono::milliseconds::rep>(value.count(), 1));
}

}  // namespace

BlockRetryBackoff::BlockRetryBackoff(std::chrono::milliseconds firstPause, std::chrono::milliseconds longestPause)
    : m_firstPause(Milliseconds(firstPause)), m_longestPause(std::max(Milliseconds(longestPause), m_firstPause))
{
}

std::uint64_t BlockRetryBackoff::DueBits(std::uint64_t mask, std::uint64_t now) const
{
    std::uint64_t due = 0;
    for (std::uint64_t rest = mask; rest != 0; rest &= rest - 1) {
        const int bit = std::countr_zero(rest);
        const Entry& entry = m_entries[static_cast<std::size_t>(bit)];
        if (entry.pause == 0 || now >= entry.due) {
            due |= 1ull << bit;
        }
    }
    return due;
}

std::optional<std::uint64_t> BlockRetryBackoff::NextDue(std::uint64_t mask) const
{
    std::optional<std::uint64_t> next;
    for (std::uint64_t rest = mask; rest != 0; rest &= rest - 1) {
        const Entry& entry = m_entries[static_cast<std::size_t>(std::countr_zero(rest))];
        if (entry.pause != 0 && (!next || entry.due < *next)) {
            next = entry.due;
        }
    }
    return next;
}

void BlockRetryBackoff::Refused(std::uint64_t bits, std::uint64_t now)
{
    for (std::uint64_t rest = bits; rest != 0; rest &= rest - 1) {
        Entry& entry = m_entries[static_cast<std::size_t>(std::countr_zero(rest))];
        entry.pause = entry.pause == 0 ? m_firstPause : std::min(entry.pause * 2, m_longestPause);
        entry.due = now + entry.pause;
    }
}

void BlockRetryBackoff::Forget(std::uint64_t bits)
{
    for (std::uint64_t rest = bits; rest != 0; rest &= rest - 1) {
        m_entries[static_cast<std::size_t>(std::countr_zero(rest))] = Entry{};
    }
}

void BlockRetryBackoff::ForgetAll()
{
    m_entries.fill(Entry{});
}

}  // namespace CobaltDeviceManager
