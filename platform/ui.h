// What the user sees and answers, as the core asks for it.
//
// The core never draws widgets; it tells the Ui what to show. The program's Ui (app/) marshals
// every call to the UI thread, so the core may call it from the GPS worker threads. Tests use
// ScriptedUi (platform/testing/), which records the calls and answers as the test says.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// A file chooser request: the title, the folder to start in, a suggested name and a filter
// such as "NMEA Log (*.txt)".
struct FileDialogRequest {
    std::string title;
    std::filesystem::path directory;
    std::string suggestedName;
    std::string filter;
};

class Ui {
public:
    virtual ~Ui() = default;

    // A modal message box; returns the button the user pressed (Ok for a plain Ok box).
    virtual Answer messageBox(std::string_view text, std::string_view caption,
                              MessageButtons buttons = MessageButtons::Ok,
                              MessageIcon icon = MessageIcon::None) = 0;
    virtual void setWindowTitle(std::string_view title) = 0;
    virtual void setStatusText(std::string_view text) = 0;
    // Posts a command identifier to the main window (redraw requests, menu commands).
    virtual void sendCommand(int commandId) = 0;
    virtual void setWaitCursor(bool on) = 0;
    virtual void beep() = 0;
    // File chooser dialogs; nullopt when the user cancels.
    virtual std::optional<std::filesystem::path> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path> openFileName(const FileDialogRequest& request) = 0;
};

}  // namespace vexa
