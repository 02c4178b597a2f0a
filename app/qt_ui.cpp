#include "app/qt_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "app/ui_thread.h"

namespace vexa {

namespace {

QMessageBox::StandardButtons standardButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

Answer answerOf(int button) {
    switch (button) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Retry: return Answer::Retry;
    default: return Answer::Ok;
    }
}

// The dialog filter: "NMEA-Log (*.txt)" items, several separated by ";;" or "|".
QString qtFilter(const std::string& filter) {
    QString text = QString::fromStdString(filter);
    text.replace('|', ";;");
    return text;
}

}  // namespace

Answer QtUi::messageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                        MessageIcon icon) {
    ShownBox box{std::string(text), std::string(caption)};
    {
        std::lock_guard lock(mutex_);
        shown_.push_back(box);
    }
    return callOnUi<Answer>(&context_, closing_, Answer::Cancel,
                            [this, box, buttons, icon] { return showBox(box, buttons, icon); });
}

Answer QtUi::showBox(const ShownBox& box, MessageButtons buttons, MessageIcon icon) {
    MessageResponder responder;
    {
        std::lock_guard lock(mutex_);
        responder = messageResponder_;
    }
    if (responder) return responder(box);
    QMessageBox dialog(messageIcon(icon), QString::fromStdString(box.caption),
                       QString::fromStdString(box.text), standardButtons(buttons),
                       window_.dialogParent());
    return answerOf(dialog.exec());
}

void QtUi::setWindowTitle(std::string_view title) {
    postToUi(&context_, [this, t = std::string(title)] { window_.applyTitle(t); });
}

void QtUi::setStatusText(std::string_view text) {
    postToUi(&context_, [this, t = std::string(text)] { window_.applyStatusText(t); });
}

void QtUi::sendCommand(int commandId) {
    postToUi(&context_, [this, commandId] { window_.runCommand(commandId); });
}

void QtUi::setWaitCursor(bool on) {
    postToUi(&context_, [on] {
        if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    });
}

void QtUi::beep() {
    ++beeps_;
    postToUi(&context_, [] { QApplication::beep(); });
}

std::optional<std::filesystem::path> QtUi::saveFileName(const FileDialogRequest& request) {
    return callOnUi<std::optional<std::filesystem::path>>(
        &context_, closing_, std::nullopt, [this, request] { return fileDialog(request, true); });
}

std::optional<std::filesystem::path> QtUi::openFileName(const FileDialogRequest& request) {
    return callOnUi<std::optional<std::filesystem::path>>(
        &context_, closing_, std::nullopt, [this, request] { return fileDialog(request, false); });
}

QtUi::FileResponder QtUi::fileResponder() const {
    std::lock_guard lock(mutex_);
    return fileResponder_;
}

std::optional<std::filesystem::path> QtUi::fileDialog(const FileDialogRequest& request, bool save) {
    if (const FileResponder responder = fileResponder()) return responder(request);
    const QString start = QString::fromStdString((request.directory / request.suggestedName).string());
    const QString title = QString::fromStdString(request.title);
    const QString chosen =
        save ? QFileDialog::getSaveFileName(window_.dialogParent(), title, start, qtFilter(request.filter))
             : QFileDialog::getOpenFileName(window_.dialogParent(), title, start, qtFilter(request.filter));
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

std::vector<std::filesystem::path> QtUi::openFileNames(const FileDialogRequest& request) {
    std::vector<std::filesystem::path> files;
    if (const FileResponder responder = fileResponder()) {
        if (auto file = responder(request)) files.push_back(std::move(*file));
        return files;
    }
    const QStringList chosen =
        QFileDialog::getOpenFileNames(window_.dialogParent(), QString::fromStdString(request.title),
                                      QString::fromStdString(request.directory.string()), qtFilter(request.filter));
    for (const QString& file : chosen) files.emplace_back(file.toStdString());
    return files;
}

void QtUi::setMessageResponder(MessageResponder responder) {
    std::lock_guard lock(mutex_);
    messageResponder_ = std::move(responder);
}

void QtUi::setFileResponder(FileResponder responder) {
    std::lock_guard lock(mutex_);
    fileResponder_ = std::move(responder);
}

std::vector<ShownBox> QtUi::shownMessages() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

}  // namespace vexa
