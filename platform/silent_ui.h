// A user who sees nothing and answers every question with OK: for work without a window
// (the command-line tools, reading a map folder for them). File dialogs are cancelled.
#pragma once

#include "platform/ui.h"

namespace vexa {

class SilentUi : public Ui {
public:
    Answer messageBox(std::string_view, std::string_view, MessageButtons, MessageIcon) override {
        return Answer::Ok;
    }
    void setWindowTitle(std::string_view) override {}
    void setStatusText(std::string_view) override {}
    void sendCommand(int) override {}
    void setWaitCursor(bool) override {}
    void beep() override {}
    std::optional<std::filesystem::path> saveFileName(const FileDialogRequest&) override { return {}; }
    std::optional<std::filesystem::path> openFileName(const FileDialogRequest&) override { return {}; }
};

}  // namespace vexa
