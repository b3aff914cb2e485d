// Where a transport finds its device for each job. A device known only by its node stays at
// that node. A device known by its identity is looked up again before every job: after a
// reset it may come back on another node, and the node it left may by then hold another
// device, which must never be opened in its place.
#ifndef QUARRY_DRIVER_DEVICE_LOCATOR_H
#define QUARRY_DRIVER_DEVICE_LOCATOR_H

#include <functional>
#include <optional>
#include <string>

namespace QuarryDriver {

class DeviceLocator {
public:
    // The node of the present device with the wanted identity; nothing when it is not there.
    using Finder = std::function<std::optional<std::string>()>;

    // The device at a fixed node (a node is a locator of whatever sits at it).
    DeviceLocator(std::string fixedPath);
    // The device `find` looks up, last seen at `lastKnownPath`.
    DeviceLocator(std::string lastKnownPath, Finder find);

    // The node to open for the next job.
    std::optional<std::string> Resolve() const;
    const std::string& LastKnownPath() const { return lastKnownPath_; }

private:
    std::string lastKnownPath_;
    Finder find_;  // empty for a fixed node
};

}  // namespace QuarryDriver

#endif
