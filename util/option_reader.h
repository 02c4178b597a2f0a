// Command-line options read the way GNU tools read them: long options (--name VALUE,
// --name=VALUE), short ones (-n VALUE, -nVALUE, several at once as -qv), operands anywhere
// between them, and "--" ending the options. "-" alone and an argument of '-' and a digit
// (a negative number) are operands: no option is a digit. The messages are the caller's.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct OptionDef {
    int id;                     // the caller's name for the option
    std::string_view longName;  // without the dashes; empty: none
    char shortName = 0;         // 0: none
    bool takesValue = false;
};

struct OptionFound {
    int id;
    std::string value;  // empty for an option without value
};

// Why a command line was not read; `option` as the user wrote it ("--foo", "-x").
struct OptionProblem {
    enum class Kind { None, Unknown, NeedsValue, TakesNoValue };
    Kind kind = Kind::None;
    std::string option;
    explicit operator bool() const { return kind != Kind::None; }
};

struct ReadOptions {
    std::vector<OptionFound> options;  // in the order given
    std::vector<std::string> operands;
    OptionProblem problem;  // the first one; reading stops there
};

// `stopAtOperand`: the first operand ends the options, it and everything after it are
// operands (a command with options of its own follows).
ReadOptions readOptions(std::span<const OptionDef> defs, std::span<const std::string> args,
                        bool stopAtOperand = false);

// An option's value as a whole number from `min` to `max`; false (`value` untouched) otherwise.
bool readCount(std::string_view text, long min, long max, long& value);

}  // namespace vexa
