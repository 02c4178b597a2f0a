// One VEXA per user and settings file: a second start asks the running one to show its
// window and ends.
#pragma once

#include <QString>

#include <functional>

class QLocalServer;

namespace vexa {

class SingleInstance {
public:
    explicit SingleInstance(QString serverName);
    ~SingleInstance();

    // True when another instance answered; it has been asked to show its window.
    bool notifyRunning();
    // Listens for later starts; `onRaise` runs on the UI thread for each.
    bool listen(std::function<void()> onRaise);

    // The name for this user and settings file.
    static QString defaultServerName();

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace vexa
