// The program's Ui: message boxes, file dialogs, title, status line, commands, cursor, beep.
// Calls may come from the GPS worker threads; everything reaches the widgets on the UI thread.
// A message box asked for by a worker blocks that worker until the user has answered.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui.h"

class QWidget;

namespace vexa {

// What the Ui needs of the main window, called on the UI thread.
class UiWindow {
public:
    virtual ~UiWindow() = default;
    virtual QWidget* dialogParent() = 0;
    virtual void applyTitle(const std::string& title) = 0;
    virtual void applyStatusText(const std::string& text) = 0;
    virtual void runCommand(int commandId) = 0;
};

struct ShownBox {
    std::string text;
    std::string caption;
};

class QtUi : public Ui {
public:
    // Answers instead of the user (tests, the snapshot run): a message box, a file dialog.
    using MessageResponder = std::function<Answer(const ShownBox&)>;
    using FileResponder = std::function<std::optional<std::filesystem::path>(const FileDialogRequest&)>;

    QtUi(QObject& context, UiWindow& window) : context_(context), window_(window) {}

    Answer messageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                      MessageIcon icon) override;
    void setWindowTitle(std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void sendCommand(int commandId) override;
    void setWaitCursor(bool on) override;
    void beep() override;
    std::optional<std::filesystem::path> saveFileName(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> openFileName(const FileDialogRequest& request) override;
    // Several files at once, on the UI thread; a responder answers with one.
    std::vector<std::filesystem::path> openFileNames(const FileDialogRequest& request);

    void setMessageResponder(MessageResponder responder);
    void setFileResponder(FileResponder responder);
    // From now on workers waiting for an answer give up (the program is closing).
    void abandonWaits() { closing_.store(true); }

    std::vector<ShownBox> shownMessages() const;
    int beeps() const { return beeps_.load(); }

private:
    QObject& context_;
    UiWindow& window_;
    std::atomic<bool> closing_{false};
    std::atomic<int> beeps_{0};
    mutable std::mutex mutex_;
    std::vector<ShownBox> shown_;
    MessageResponder messageResponder_;
    FileResponder fileResponder_;

    Answer showBox(const ShownBox& box, MessageButtons buttons, MessageIcon icon);
    std::optional<std::filesystem::path> fileDialog(const FileDialogRequest& request, bool save);
    FileResponder fileResponder() const;
};

}  // namespace vexa
