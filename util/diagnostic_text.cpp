#include "util/diagnostic_text.h"

#include <utility>

#include "util/system_error.h"
#include "util/text.h"

namespace vexa {

std::string DiagnosticText::text() const {
    std::lock_guard lock(mutex_);
    std::size_t bytes = 0;
    for (const Segment& segment : segments_) bytes += segment.text.size();
    std::string out;
    out.reserve(bytes);
    for (const Segment& segment : segments_) out += segment.text;
    return out;
}

void DiagnosticText::setText(std::string text) {
    if (!isValidUtf8(text)) text = validUtf8(text);
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        segments_.clear();
        Segment all{std::string(utf8Prefix(text, kTextChars)), 0};
        all.chars = utf8Length(all.text);
        chars_ = all.chars;
        if (!all.text.empty()) segments_.push_back(std::move(all));
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
    // Only well-formed text enters the list, so that characters are counted the same way
    // everywhere (a file name on Linux may hold any bytes).
    // Received sentences are plain ASCII: one check spares the character counting.
    const bool ascii = isAscii(line);
    std::string cleaned;
    if (!ascii && !isValidUtf8(line)) line = cleaned = validUtf8(line);
    DiagnosticText::Segment segment{
        std::string(ascii ? line.substr(0, DiagnosticText::kLineChars) : utf8Prefix(line, DiagnosticText::kLineChars)), 0};
    segment.chars = (ascii ? segment.text.size() : utf8Length(segment.text)) + 2;
    segment.text += "\r\n";
    std::function<void()> listener;
    {
        std::lock_guard lock(list.mutex_);
        list.chars_ += segment.chars;
        list.segments_.push_front(std::move(segment));
        // The oldest lines fall off the end, the last one possibly in its middle.
        while (list.chars_ > DiagnosticText::kTextChars) {
            DiagnosticText::Segment& oldest = list.segments_.back();
            const std::size_t excess = list.chars_ - DiagnosticText::kTextChars;
            if (oldest.chars <= excess) {
                list.chars_ -= oldest.chars;
                list.segments_.pop_back();
            } else {
                oldest.text.resize(utf8Prefix(oldest.text, oldest.chars - excess).size());
                oldest.chars -= excess;
                list.chars_ -= excess;
            }
        }
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

void ToggleDebugMode(DiagnosticText& list, bool inNmeaView) {
    bool on = list.debugMode.load();
    if (inNmeaView) {
        on = !on;
        list.debugMode.store(on);
    }
    AddNmeaListLine(list, on ? "Debug Mode on" : "Debug Mode off");
}

}  // namespace vexa
