// The memory the process can obtain, as the system reports it, for the core's
// bound on storage requests: the smaller of the user address space (2 or
// 4 GiB for a 32-bit process) and the commit limit (memory plus page file).
#include <windows.h>

#include <cstdint>

#include "core/allocation.h"

namespace corvane::server {
namespace {

std::uint64_t ObtainableMemory() noexcept {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return std::uint64_t{1} << 35;  // the core's own fallback
    return status.ullTotalVirtual < status.ullTotalPageFile ? status.ullTotalVirtual : status.ullTotalPageFile;
}

// Installed while the module loads, before any object can exist.
[[maybe_unused]] const bool installed = (SetMemoryQuery(&ObtainableMemory), true);

}  // namespace
}  // namespace corvane::server
