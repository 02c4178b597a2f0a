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
        textChars_ = utf8Length(text_);
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
    // Only well-formed text enters the list, so that counting characters from either end
    // agrees (a file name on Linux may hold any bytes).
    std::string cleaned;
    if (!isValidUtf8(line)) line = cleaned = validUtf8(line);
    const std::string_view head = utf8Prefix(line, DiagnosticText::kLineChars);
    const std::size_t headChars = utf8Length(head) + 2;  // with "\r\n"
    std::function<void()> listener;
    {
        std::lock_guard lock(list.mutex_);
        // The list is cut to 4096 characters and the oldest lines fall off its end. The
        // character count is kept, so only the characters that fall off are walked, from the
        // end: every received sentence passes through here.
        std::size_t keepBytes = list.text_.size();
        std::size_t keepChars = list.textChars_;
        while (keepChars + headChars > DiagnosticText::kTextChars && keepBytes > 0) {
            do --keepBytes;
            while (keepBytes > 0 &&
                   (static_cast<unsigned char>(list.text_[keepBytes]) & 0xC0) == 0x80);
            --keepChars;
        }
        std::string next;
        next.reserve(head.size() + 2 + keepBytes);
        next.append(head);
        next.append("\r\n");
        next.append(list.text_, 0, keepBytes);
        list.text_ = std::move(next);
        list.textChars_ = keepChars + headChars;
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
