#include "util/option_reader.h"

#include <algorithm>
#include <charconv>

namespace vexa {

namespace {

bool isOperand(std::string_view arg) {
    return arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.';
}

}  // namespace

ReadOptions readOptions(std::span<const OptionDef> defs, std::span<const std::string> args, bool stopAtOperand) {
    ReadOptions read;
    auto fail = [&](OptionProblem::Kind kind, std::string option) {
        read.problem = {kind, std::move(option)};
        return read;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            read.operands.insert(read.operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        }
        if (isOperand(arg)) {
            if (stopAtOperand) {
                read.operands.insert(read.operands.end(), args.begin() + static_cast<long>(i), args.end());
                break;
            }
            read.operands.push_back(arg);
            continue;
        }
        if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string_view name = std::string_view(arg).substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const std::string written = "--" + std::string(name);
            const auto def = std::find_if(defs.begin(), defs.end(), [&](const OptionDef& s) { return s.longName == name; });
            if (def == defs.end()) return fail(OptionProblem::Kind::Unknown, written);
            if (!def->takesValue) {
                if (equals != std::string::npos) return fail(OptionProblem::Kind::TakesNoValue, written);
                read.options.push_back({def->id, {}});
            } else if (equals != std::string::npos) {
                read.options.push_back({def->id, arg.substr(equals + 1)});
            } else if (i + 1 < args.size()) {
                read.options.push_back({def->id, args[++i]});
            } else {
                return fail(OptionProblem::Kind::NeedsValue, written);
            }
            continue;
        }
        // One or more short options; the first that takes a value takes the rest or the next.
        for (std::size_t c = 1; c < arg.size(); ++c) {
            const std::string written = std::string("-") + arg[c];
            const auto def = std::find_if(defs.begin(), defs.end(), [&](const OptionDef& s) { return s.shortName == arg[c]; });
            if (def == defs.end()) return fail(OptionProblem::Kind::Unknown, written);
            if (!def->takesValue) {
                read.options.push_back({def->id, {}});
                continue;
            }
            if (c + 1 < arg.size()) {
                read.options.push_back({def->id, arg.substr(c + 1)});
            } else if (i + 1 < args.size()) {
                read.options.push_back({def->id, args[++i]});
            } else {
                return fail(OptionProblem::Kind::NeedsValue, written);
            }
            break;
        }
    }
    return read;
}

bool readCount(std::string_view text, long min, long max, long& value) {
    long n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc{} || end != text.data() + text.size() || n < min || n > max) return false;
    value = n;
    return true;
}

}  // namespace vexa
