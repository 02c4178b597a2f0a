// The diagnostic text, also shown as the NMEA list: one running text, newest line first, that
// every subsystem writes its diagnostic lines into, plus the current-operation texts that the
// exception handler shows, and debug mode.
//
// All of it is safe to use from several threads at once: each change happens under one mutex,
// so no line is torn or lost.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class DiagnosticText {
public:
    static constexpr std::size_t kLineChars = 256;      // a line is cut to this many characters
    static constexpr std::size_t kTextChars = 4096;     // the whole text never exceeds this
    static constexpr std::size_t kOperationChars = 511; // 512-character buffers with terminator
    static constexpr std::string_view kInitialOperation = "* WndProc Exception *";

    std::string text() const;
    void setText(std::string text);

    // Called after every change, outside the lock, from the thread that made the change.
    // The application uses it to refresh the NMEA list view when it is shown.
    void setChangeListener(std::function<void()> listener);

    // Called by ReportApiError after its line: the application notes the activity and
    // switches the screen back on.
    void setApiErrorHook(std::function<void()> hook);
    void runApiErrorHook() const;

    void setCurrentOperation(std::string_view name);
    std::string currentOperation() const;
    void setCurrentStep(std::string_view step);
    std::string currentStep() const;

    std::atomic<bool> debugMode{false};

private:
    friend void AddNmeaListLine(DiagnosticText& list, std::string_view line);
    friend void AddLatin1ListLine(DiagnosticText& list, std::string_view bytes);

    // The text as its lines, newest first, each with its "\r\n" and its character count; the
    // oldest may have been cut. Adding a line touches only the lines that fall off, so every
    // received sentence can pass through here cheaply. The lines' bytes follow one another in
    // one ring of characters (a line never wraps: one that does not fit before the ring's end
    // starts at its beginning), so a new line lands right behind the last one and the list
    // stays a few cache lines in use, however many lines have gone through it.
    struct Line {
        std::uint32_t start = 0;  // in bytes_
        std::uint32_t bytes = 0;
        std::uint32_t chars = 0;
    };
    static constexpr std::size_t kRingLines = kTextChars / 2 + 1;  // every line has its "\r\n"
    // The text's bytes (at most 4 a character), a line beyond them and a gap at the ring's end.
    static constexpr std::size_t kRingBytes = 32768;
    mutable std::mutex mutex_;
    std::vector<Line> ring_ = std::vector<Line>(kRingLines);
    std::vector<char> bytes_ = std::vector<char>(kRingBytes);
    std::size_t newest_ = 0;  // the ring index of the newest line
    std::size_t lines_ = 0;
    std::size_t chars_ = 0;  // characters in all lines
    std::size_t head_ = 0;   // where the next line's bytes go

    Line& line(std::size_t age) { return ring_[(newest_ + age) % kRingLines]; }
    const Line& line(std::size_t age) const { return ring_[(newest_ + age) % kRingLines]; }
    std::string_view bytesOf(const Line& l) const { return {bytes_.data() + l.start, l.bytes}; }
    // `text` and then `tail` as the newest line of `chars` characters, then the oldest lines
    // cut to the limit. The text holds at most kRingLines - 1 lines between two changes, so
    // there is always a free slot.
    void pushNewest(std::string_view text, std::string_view tail, std::size_t chars);
    void cutToLimit();
    // A line already cut, of `chars` characters with its "\r\n", at the top.
    void addCutLine(std::string_view kept, std::size_t chars);
    std::string operation_{kInitialOperation};
    std::string step_;
    std::function<void()> listener_;
    std::function<void()> apiErrorHook_;
};

// Adds one line at the top: the line's first 256 characters, "\r\n", then the previous text,
// all cut to 4096 characters.
void AddNmeaListLine(DiagnosticText& list, std::string_view line);
// The same for received bytes, each one Latin-1 character.
void AddLatin1ListLine(DiagnosticText& list, std::string_view bytes);

// Adds a line only in debug mode.
void AddDebugLine(DiagnosticText& list, std::string_view line);

// A failed platform call: "<port> function=<function> error=<code>".
void ReportApiError(DiagnosticText& list, std::string_view function, long error,
                    std::string_view port);

// A failed call with the system's own text for the error number, then
// "<text>(<line>) <<code>> error occured".
void ReportSystemError(DiagnosticText& list, int sourceLine, long error, std::string_view text);

// The character "q": in the NMEA view toggles debug mode; elsewhere only reports its state.
void ToggleDebugMode(DiagnosticText& list, bool inNmeaView);

}  // namespace vexa
