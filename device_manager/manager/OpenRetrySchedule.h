// When an amplifier that is listed by the scan but could not be opened is tried again. The
// device library holds one device at a time, so an amplifier plugged in beside a connected
// one cannot be opened until that one lets go; nothing else may announce that moment. The
// first failure waits the first pause, each further one twice as long as the last, never
// longer than the longest pause. An amplifier that opens, or leaves the scan, is forgotten.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace CobaltDeviceManager {

class OpenRetrySchedule {
public:
    using Clock = std::chrono::steady_clock;

    OpenRetrySchedule(std::chrono::milliseconds firstPause, std::chrono::milliseconds longestPause);

    // The open of `key` failed at `now`: it waits longer than the last time.
    void Failed(const std::u16string& key, Clock::time_point now);
    void Forget(const std::u16string& key);
    // Forgets every key that is not in `listed`.
    void KeepOnly(const std::set<std::u16string>& listed);

    // Whether `key` may be tried at `now`: never failed, or its pause has run out.
    bool IsDue(const std::u16string& key, Clock::time_point now) const;
    bool AnyDue(Clock::time_point now) const;
    // The earliest time a waiting key is due; nothing when none waits.
    std::optional<Clock::time_point> NextDue() const;
    // The waiting keys in key order.
    std::vector<std::u16string> Keys() const;

private:
    struct Entry {
        Clock::duration pause{};
        Clock::time_point due{};
    };

    const Clock::duration m_firstPause;
    const Clock::duration m_longestPause;
    std::map<std::u16string, Entry> m_entries;
};

}  // namespace CobaltDeviceManager
