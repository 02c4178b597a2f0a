// "Port": the receivers this machine has, chosen by name. Every serial receiver appears by its
// stable name with its USB product, then gpsd; a pseudo-terminal or any other device is typed
// as a path. The list is scanned again every second, so a receiver plugged in while the
// dialog is open appears in it.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QTimer;

namespace vexa {

struct SerialReceiver;

struct PortChoice {
    std::string name;   // what "GPS Start" opens: a device path or "gpsd"
    std::string label;  // what the list shows
    bool operator==(const PortChoice&) const = default;
};

// The serial receivers in their order, then gpsd at its address.
std::vector<PortChoice> portChoices(const std::vector<SerialReceiver>& receivers,
                                    const std::string& gpsdAddress);

class PortDialog : public QDialog {
public:
    static constexpr int kRescanMs = 1000;

    PortDialog(std::function<std::vector<PortChoice>()> scan, const std::string& current,
               QWidget* parent = nullptr);

    // The chosen port: the path field, which a click in the list fills.
    std::string port() const;
    // Scans again and keeps the selection (the timer calls it).
    void rescan();

    QListWidget* list() const { return list_; }
    QLineEdit* path() const { return path_; }

private:
    std::function<std::vector<PortChoice>()> scan_;
    std::vector<PortChoice> choices_;
    QListWidget* list_ = nullptr;
    QLineEdit* path_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace vexa
