#include "platform/testing/scripted_ui.h"

namespace vexa {

Answer ScriptedUi::messageBox(std::string_view text, std::string_view caption,
                              MessageButtons buttons, MessageIcon icon) {
    std::lock_guard lock(mutex_);
    messages_.push_back({std::string(text), std::string(caption), buttons, icon});
    if (!answers_.empty()) {
        const Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return Answer::Yes;
    case MessageButtons::RetryCancel: return Answer::Retry;
    default: return Answer::Ok;
    }
}

void ScriptedUi::setWindowTitle(std::string_view title) {
    std::lock_guard lock(mutex_);
    titles_.emplace_back(title);
}

void ScriptedUi::setStatusText(std::string_view text) {
    std::lock_guard lock(mutex_);
    statusTexts_.emplace_back(text);
}

void ScriptedUi::sendCommand(int commandId) {
    std::lock_guard lock(mutex_);
    commands_.push_back(commandId);
}

void ScriptedUi::setWaitCursor(bool on) {
    std::lock_guard lock(mutex_);
    waitCursor_ = on;
}

void ScriptedUi::beep() {
    std::lock_guard lock(mutex_);
    ++beeps_;
}

std::optional<std::filesystem::path> ScriptedUi::nextFileName(const FileDialogRequest& request) {
    std::lock_guard lock(mutex_);
    fileDialogs_.push_back(request);
    if (fileNames_.empty()) return std::nullopt;
    auto name = fileNames_.front();
    fileNames_.pop_front();
    return name;
}

std::optional<std::filesystem::path> ScriptedUi::saveFileName(const FileDialogRequest& request) {
    return nextFileName(request);
}

std::optional<std::filesystem::path> ScriptedUi::openFileName(const FileDialogRequest& request) {
    return nextFileName(request);
}

void ScriptedUi::queueAnswer(Answer answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedUi::queueFileName(std::optional<std::filesystem::path> path) {
    std::lock_guard lock(mutex_);
    fileNames_.push_back(std::move(path));
}

std::vector<ShownMessage> ScriptedUi::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> ScriptedUi::titles() const {
    std::lock_guard lock(mutex_);
    return titles_;
}

std::vector<std::string> ScriptedUi::statusTexts() const {
    std::lock_guard lock(mutex_);
    return statusTexts_;
}

std::vector<int> ScriptedUi::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<FileDialogRequest> ScriptedUi::fileDialogs() const {
    std::lock_guard lock(mutex_);
    return fileDialogs_;
}

int ScriptedUi::beeps() const {
    std::lock_guard lock(mutex_);
    return beeps_;
}

bool ScriptedUi::waitCursor() const {
    std::lock_guard lock(mutex_);
    return waitCursor_;
}

void ScriptedUi::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    titles_.clear();
    statusTexts_.clear();
    commands_.clear();
    fileDialogs_.clear();
    beeps_ = 0;
}

}  // namespace vexa
