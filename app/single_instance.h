// One VEXA per user and settings file: a second start asks the running one to show its
// window, hands it the log to replay when it was given one, and ends.
#pragma once

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QLocalServer;

namespace vexa {

class SingleInstance {
public:
    explicit SingleInstance(QString serverName);
    ~SingleInstance();

    using Start = std::function<void(const std::optional<std::filesystem::path>& replay)>;

    // True when another instance answered; it has been asked to show its window and to replay
    // `replay` (made absolute) when given.
    bool notifyRunning(const std::optional<std::filesystem::path>& replay = std::nullopt);
    // Listens for later starts; `onStart` runs on the UI thread for each.
    bool listen(Start onStart);

    // The name for this user and settings file.
    static QString defaultServerName();

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace vexa
