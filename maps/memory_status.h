// Total and available physical and virtual memory, for the load and unload lines of debug mode.
#pragma once

namespace vexa {

struct MemoryStatus {
    long totalPhys = 0;
    long availPhys = 0;
    long totalVirtual = 0;   // RAM and swap
    long availVirtual = 0;
};

MemoryStatus GlobalMemoryStatus();

}  // namespace vexa
