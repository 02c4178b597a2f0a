#include "util/diagnostic_text.h"

#include <cstring>
#include <utility>

#include "util/system_error.h"
#include "util/text.h"

namespace vexa {

std::string DiagnosticText::text() const {
    std::lock_guard lock(mutex_);
    std::size_t bytes = 0;
    for (std::size_t age = 0; age < lines_; ++age) bytes += line(age).bytes;
    std::string out;
    out.reserve(bytes);
    for (std::size_t age = 0; age < lines_; ++age) out += bytesOf(line(age));
    return out;
}

[[gnu::hot]] void DiagnosticText::pushNewest(std::string_view text, std::string_view tail, std::size_t chars) {
    const std::size_t size = text.size() + tail.size();
    if (head_ + size > kRingBytes) head_ = 0;
    char* const at = bytes_.data() + head_;
    std::memcpy(at, text.data(), text.size());
    std::memcpy(at + text.size(), tail.data(), tail.size());
    newest_ = (newest_ + kRingLines - 1) % kRingLines;
    ++lines_;
    ring_[newest_] = {static_cast<std::uint32_t>(head_), static_cast<std::uint32_t>(size),
                      static_cast<std::uint32_t>(chars)};
    head_ += size;
    chars_ += chars;
    cutToLimit();
}

[[gnu::hot]] void DiagnosticText::cutToLimit() {
    // The oldest lines fall off the end, the last one possibly in its middle.
    while (chars_ > kTextChars) {
        Line& oldest = line(lines_ - 1);
        const std::size_t excess = chars_ - kTextChars;
        if (oldest.chars <= excess) {
            chars_ -= oldest.chars;
            --lines_;
        } else {
            const std::size_t keep = oldest.chars - excess;
            // A line of single-byte characters (every received sentence) is cut by its bytes.
            oldest.bytes = static_cast<std::uint32_t>(
                oldest.bytes == oldest.chars ? keep : utf8Prefix(bytesOf(oldest), keep).size());
            oldest.chars -= static_cast<std::uint32_t>(excess);
            chars_ -= excess;
        }
    }
}

void DiagnosticText::setText(std::string text) {
    if (!isValidUtf8(text)) text = validUtf8(text);
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        lines_ = 0;
        chars_ = 0;
        head_ = 0;
        const std::string_view kept = utf8Prefix(text, kTextChars);
        if (!kept.empty()) pushNewest(kept, {}, utf8Length(kept));
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
    const std::string_view kept =
        ascii ? line.substr(0, DiagnosticText::kLineChars) : utf8Prefix(line, DiagnosticText::kLineChars);
    list.addCutLine(kept, (ascii ? kept.size() : utf8Length(kept)) + 2);
}

[[gnu::hot]] void AddLatin1ListLine(DiagnosticText& list, std::string_view bytes) {
    if (!isAscii(bytes)) return AddNmeaListLine(list, latin1ToUtf8(bytes));
    const std::string_view kept = bytes.substr(0, DiagnosticText::kLineChars);
    list.addCutLine(kept, kept.size() + 2);
}

[[gnu::hot]] void DiagnosticText::addCutLine(std::string_view kept, std::size_t chars) {
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        pushNewest(kept, "\r\n", chars);
        listener = listener_;
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
