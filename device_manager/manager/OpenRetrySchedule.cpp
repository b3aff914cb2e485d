// Pauses between attempts to open a listed amplifier.
#include "device_manager/manager/OpenRetrySchedule.h"

#include <algorithm>

namespace CobaltDeviceManager {

OpenRetrySchedule::OpenRetrySchedule(std::chrono::milliseconds firstPause, std::chrono::milliseconds longestPause)
    : m_firstPause(std::max(firstPause, std::chrono::milliseconds(1))),
      m_longestPause(std::max<Clock::duration>(longestPause, m_firstPause))
{
}

void OpenRetrySchedule::Failed(const std::u16string& key, Clock::time_point now)
{
    auto [entry, added] = m_entries.try_emplace(key);
    entry->second.pause = added ? m_firstPause : std::min(entry->second.pause * 2, m_longestPause);
    entry->second.due = now + entry->second.pause;
}

void OpenRetrySchedule::Forget(const std::u16string& key)
{
    m_entries.erase(key);
}

void OpenRetrySchedule::KeepOnly(const std::set<std::u16string>& listed)
{
    std::erase_if(m_entries, [&listed](const auto& entry) { return listed.count(entry.first) == 0; });
}

bool OpenRetrySchedule::IsDue(const std::u16string& key, Clock::time_point now) const
{
    const auto found = m_entries.find(key);
    return found == m_entries.end() || now >= found->second.due;
}

bool OpenRetrySchedule::AnyDue(Clock::time_point now) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [now](const auto& entry) { return now >= entry.second.due; });
}

std::optional<OpenRetrySchedule::Clock::time_point> OpenRetrySchedule::NextDue() const
{
    std::optional<Clock::time_point> next;
    for (const auto& [key, entry] : m_entries) {
        if (!next || entry.due < *next) {
            next = entry.due;
        }
    }
    return next;
}

std::vector<std::u16string> OpenRetrySchedule::Keys() const
{
    std::vector<std::u16string> keys;
    for (const auto& [key, entry] : m_entries) {
        keys.push_back(key);
    }
    return keys;
}

}  // namespace CobaltDeviceManager
