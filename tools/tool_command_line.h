// The command line of every tool, read the same way (util/option_reader.h) and answered in
// the same words: --help (-h) prints the tool's help, --version (-V) "NAME VERSION", both
// with status 0; a wrong command line ends the tool with "NAME: message" and
// "Try 'NAME --help'." on standard error and status 2.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "util/option_reader.h"

namespace vexa {

class ToolCommandLine {
public:
    // `name` as the user calls it ("vexa-convert", "vexa-maps import"); `help` the whole text.
    ToolCommandLine(std::string name, const char* help) : name_(std::move(name)), help_(help) {}

    // The options and operands; does not return on --help, --version or a wrong line.
    ReadOptions read(std::span<const OptionDef> defs, int argc, char** argv, bool stopAtOperand = false) const;
    [[noreturn]] void wrong(const std::string& message) const;

    const std::string& name() const { return name_; }

private:
    std::string name_;
    const char* help_;
};

}  // namespace vexa
