// The settings key as a text file of name/value lines:
//
//   iCom=dword:1
//   LGsaLogTime=dword:-1
//   LogDir=sz:/home/anna/Dokumente/vexa/
//
// Numbers are 32-bit values (written signed, so that −1 reads as −1); texts are kept with '%',
// CR and LF percent-encoded. Every change rewrites the file through a temporary file, fsync
// and rename, under an exclusive lock on a neighbouring ".lock" file: a crash leaves either
// the old or the new file, and a second program never loses the first one's change.
#pragma once

#include <filesystem>

#include "platform/settings_storage.h"

namespace vexa {

class FileSettingsStorage : public SettingsStorage {
public:
    explicit FileSettingsStorage(std::filesystem::path file);

    KeyOpenResult open() override;
    std::optional<std::uint32_t> readNumber(std::string_view name) override;
    std::optional<std::string> readString(std::string_view name) override;
    bool writeNumber(std::string_view name, std::uint32_t value) override;
    bool writeString(std::string_view name, std::string_view value) override;
    bool remove(std::string_view name) override;

    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;

    std::optional<std::string> readRaw(std::string_view name);
    // Replaces (or with nullopt removes) one value; false when the file cannot be written or,
    // for a removal, when the value is absent.
    bool update(std::string_view name, const std::optional<std::string>& raw);
};

}  // namespace vexa
