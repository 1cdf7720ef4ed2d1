#include "zhost/core/memory.h"

#include <fstream>
#include <sstream>
#include <string>

namespace zhost {

namespace {
std::optional<std::uintmax_t>& pretended() {
    static std::optional<std::uintmax_t> bytes;
    return bytes;
}
} // namespace

void setAvailableMemoryForTests(std::optional<std::uintmax_t> bytes) {
    pretended() = bytes;
}

std::optional<std::uintmax_t> availableMemoryBytes() {
    if (pretended())
        return pretended();
    std::ifstream in("/proc/meminfo");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("MemAvailable:", 0) != 0)
            continue;
        std::istringstream fields(line.substr(13));
        std::uintmax_t kib = 0;
        std::string unit;
        if (fields >> kib >> unit && unit == "kB")
            return kib * 1024;
        return std::nullopt;
    }
    return std::nullopt;
}

namespace {
// "12,345 MB": whole megabytes with thousands separators, rounded up so that a small need is
// never shown as 0.
std::wstring megabytes(std::uintmax_t bytes) {
    std::wstring digits = std::to_wstring((bytes + (1u << 20) - 1) >> 20);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), 1, L',');
    return digits + L" MB";
}
} // namespace

std::wstring memoryShortfall(std::uintmax_t neededBytes, std::uintmax_t availableBytes) {
    if (neededBytes <= availableBytes)
        return {};
    return L"it needs about " + megabytes(neededBytes) + L" of memory and " +
           megabytes(availableBytes) + L" are free";
}

} // namespace zhost
