#include "maps/memory_status.h"

#include <sys/sysinfo.h>

namespace vexa {

MemoryStatus GlobalMemoryStatus() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return {};
    const long unit = static_cast<long>(info.mem_unit);
    MemoryStatus status;
    status.totalPhys = static_cast<long>(info.totalram) * unit;
    status.availPhys = static_cast<long>(info.freeram + info.bufferram) * unit;
    status.totalVirtual = static_cast<long>(info.totalram + info.totalswap) * unit;
    status.availVirtual = static_cast<long>(info.freeram + info.bufferram + info.freeswap) * unit;
    return status;
}

}  // namespace vexa
