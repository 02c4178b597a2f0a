// The user, scripted: records every message box, title, status text, command, cursor change
// and beep, and answers message boxes and file dialogs from queues the test fills.
// Without a queued answer a message box is answered Ok (or Yes / Retry for boxes without Ok)
// and a file dialog is cancelled.
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "platform/ui.h"

namespace vexa {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
};

class ScriptedUi : public Ui {
public:
    Answer messageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                      MessageIcon icon) override;
    void setWindowTitle(std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void sendCommand(int commandId) override;
    void setWaitCursor(bool on) override;
    void beep() override;
    std::optional<std::filesystem::path> saveFileName(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> openFileName(const FileDialogRequest& request) override;

    void queueAnswer(Answer answer);
    void queueFileName(std::optional<std::filesystem::path> path);

    std::vector<ShownMessage> messages() const;
    std::vector<std::string> titles() const;
    std::vector<std::string> statusTexts() const;
    std::vector<int> commands() const;
    std::vector<FileDialogRequest> fileDialogs() const;
    int beeps() const;
    bool waitCursor() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<Answer> answers_;
    std::deque<std::optional<std::filesystem::path>> fileNames_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> titles_;
    std::vector<std::string> statusTexts_;
    std::vector<int> commands_;
    std::vector<FileDialogRequest> fileDialogs_;
    int beeps_ = 0;
    bool waitCursor_ = false;

    std::optional<std::filesystem::path> nextFileName(const FileDialogRequest& request);
};

}  // namespace vexa
