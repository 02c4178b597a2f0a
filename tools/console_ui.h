// The user of a command-line tool: message boxes go to standard error with the tool's name,
// everything else a window would show is ignored, file dialogs are cancelled.
#pragma once

#include <cstdio>
#include <string>

#include "platform/silent_ui.h"

namespace vexa {

class ConsoleUi : public SilentUi {
public:
    explicit ConsoleUi(std::string program) : program_(std::move(program)) {}

    Answer messageBox(std::string_view text, std::string_view caption, MessageButtons, MessageIcon) override {
        std::fprintf(stderr, "%s: %.*s%s%.*s\n", program_.c_str(), static_cast<int>(caption.size()),
                     caption.data(), caption.empty() ? "" : " ", static_cast<int>(text.size()), text.data());
        ++messages_;
        return Answer::Ok;
    }

    int messages() const { return messages_; }

private:
    std::string program_;
    int messages_ = 0;
};

}  // namespace vexa
