// The part of a SerialPort that every Linux port shares: one file descriptor, closing it,
// asking whether it is open, and waiting up to 60 ms for bytes to read.
//
// A read holds a shared lock for at most that time and close() an exclusive one: close() waits
// for a running read to return instead of pulling the descriptor from under it (which could
// let the read see a reused descriptor number). Opening, writing and purging belong to the
// kind of port; they take the same locks.
#pragma once

#include <optional>
#include <shared_mutex>

#include "platform/serial_port.h"

namespace vexa {

class DescriptorPort : public SerialPort {
public:
    static constexpr int kReadTimeoutMs = 60;

    ~DescriptorPort() override;

    SerialError close() final;
    bool isOpen() const final;
    // Hand out bytes received before, else wait for the descriptor to become readable and let
    // the port read from it.
    ReadResult readByte() final;
    ReadResult readBytes(char* into, std::size_t capacity, std::size_t& count) final;

protected:
    // Up to `capacity` bytes of what the port received before, if it keeps any; how many.
    // Called under the shared lock with the descriptor open.
    virtual std::size_t takeReceived(char* /*into*/, std::size_t /*capacity*/) { return 0; }
    // The descriptor is readable (or hung up: `revents` has poll's flags). Stores what the read
    // gives for takeReceived() and returns nothing, or returns the idle or failed read.
    virtual std::optional<ReadResult> readReady(short revents) = 0;

    mutable std::shared_mutex mutex_;
    int fd_ = -1;
};

}  // namespace vexa
