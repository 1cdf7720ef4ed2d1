#pragma once
// How much memory the machine can still give this process, for refusing work that would not fit
// before starting it: on Linux the kernel lets an allocation succeed and kills the process later,
// so running out cannot be caught when it happens.
#include <cstdint>
#include <optional>
#include <string>

namespace zhost {

// The memory the system says is available for new work (Linux: MemAvailable of /proc/meminfo),
// in bytes; nullopt when the system does not say.
std::optional<std::uintmax_t> availableMemoryBytes();
// Makes availableMemoryBytes() answer `bytes` instead of asking the system (nullopt: ask it
// again). For tests of the refusals.
void setAvailableMemoryForTests(std::optional<std::uintmax_t> bytes);

// Why work needing `neededBytes` does not fit in `availableBytes` ("it needs about 1,200 MB of
// memory and 800 MB are free"); empty when it fits.
std::wstring memoryShortfall(std::uintmax_t neededBytes, std::uintmax_t availableBytes);

} // namespace zhost
