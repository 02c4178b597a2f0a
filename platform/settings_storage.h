// The persistent store behind the settings key "Software\KL\VEXA": named 32-bit numbers and
// texts. Every call reads or writes the backing store afresh; nothing is cached, so a second
// running program sees each change at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

enum class KeyOpenResult { Created, Opened, Failed };

class SettingsStorage {
public:
    virtual ~SettingsStorage() = default;

    // Opens the key, creating it when it does not exist yet.
    virtual KeyOpenResult open() = 0;
    virtual std::optional<std::uint32_t> readNumber(std::string_view name) = 0;
    virtual std::optional<std::string> readString(std::string_view name) = 0;
    virtual bool writeNumber(std::string_view name, std::uint32_t value) = 0;
    virtual bool writeString(std::string_view name, std::string_view value) = 0;
    // False when the value does not exist or cannot be removed.
    virtual bool remove(std::string_view name) = 0;
};

}  // namespace vexa
