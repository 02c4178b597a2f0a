#include "frame/diagnostics.h"

#include <utility>

#include "platform/system_error.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

std::string DiagnosticText::text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

void DiagnosticText::setText(std::string text) {
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        text_ = std::string(utf8Prefix(text, kTextChars));
        listener = listener_;
    }
    if (listener) listener();
}

void DiagnosticText::setChangeListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void DiagnosticText::setApiErrorHook(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    apiErrorHook_ = std::move(hook);
}

void DiagnosticText::runApiErrorHook() const {
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        hook = apiErrorHook_;
    }
    if (hook) hook();
}

void DiagnosticText::setCurrentOperation(std::string_view name) {
    std::lock_guard lock(mutex_);
    operation_.assign(utf8Prefix(name, kOperationChars));
}

std::string DiagnosticText::currentOperation() const {
    std::lock_guard lock(mutex_);
    return operation_;
}

void DiagnosticText::setCurrentStep(std::string_view step) {
    std::lock_guard lock(mutex_);
    step_.assign(utf8Prefix(step, kOperationChars));
}

std::string DiagnosticText::currentStep() const {
    std::lock_guard lock(mutex_);
    return step_;
}

void AddNmeaListLine(DiagnosticText& list, std::string_view line) {
    std::function<void()> listener;
    {
        std::lock_guard lock(list.mutex_);
        std::string next;
        next.reserve(list.text_.size() + line.size() + 2);
        next.append(utf8Prefix(line, DiagnosticText::kLineChars));
        next.append("\r\n");
        // Only as much of the old text as can still be shown is copied: the list is cut to
        // 4096 characters anyway, and the oldest lines fall off its end.
        const std::size_t room = DiagnosticText::kTextChars - std::min(utf8Length(next),
                                                                      DiagnosticText::kTextChars);
        next.append(utf8Prefix(list.text_, room));
        list.text_ = std::move(next);
        listener = list.listener_;
    }
    if (listener) listener();
}

void AddDebugLine(DiagnosticText& list, std::string_view line) {
    if (list.debugMode.load(std::memory_order_relaxed)) AddNmeaListLine(list, line);
}

void ReportApiError(DiagnosticText& list, std::string_view function, long error,
                    std::string_view port) {
    const std::string p(port), f(function);
    const std::string line = strprintf("%s function=%s error=%ld", p.c_str(), f.c_str(), error);
    AddNmeaListLine(list, utf8Prefix(line, 99));
    list.runApiErrorHook();
}

void ReportSystemError(DiagnosticText& list, int sourceLine, long error, std::string_view text) {
    AddNmeaListLine(list, systemErrorText(static_cast<int>(error)));
    const std::string t(text);
    AddNmeaListLine(list, strprintf("%s(%d) <%ld> error occured", t.c_str(), sourceLine, error));
}

void ReportGenericError(Ui& ui, int sourceLine, std::string_view file, long lastError) {
    const std::string f(file);
    ui.messageBox(strprintf("Generic, Line=%d, File=%s", sourceLine, f.c_str()),
                  strprintf("An %ld error occured.", lastError), MessageButtons::Ok,
                  MessageIcon::Error);
}

void ToggleDebugMode(DiagnosticText& list, bool inNmeaView) {
    bool on = list.debugMode.load();
    if (inNmeaView) {
        on = !on;
        list.debugMode.store(on);
    }
    AddNmeaListLine(list, on ? "Debug Mode on" : "Debug Mode off");
}

}  // namespace vexa
