// The option reader: every way of writing an option and its value, operands anywhere, and
// the first problem named as the user wrote it.
#include <gtest/gtest.h>

#include "util/option_reader.h"

namespace vexa {
namespace {

// The read line in one string: "id=value" per option, then "| operands", or "! kind option".
std::string shown(const std::vector<std::string>& args, bool stopAtOperand = false) {
    static constexpr OptionDef kDefs[] = {{1, "name", 'n', true}, {2, "quiet", 'q'}, {3, "verbose", 'v'}};
    const ReadOptions read = readOptions(kDefs, args, stopAtOperand);
    std::string text;
    for (const OptionFound& o : read.options) text += std::to_string(o.id) + "=" + o.value + " ";
    text += "|";
    for (const std::string& operand : read.operands) text += " " + operand;
    if (read.problem) text += " ! " + std::to_string(static_cast<int>(read.problem.kind)) + " " + read.problem.option;
    return text;
}

TEST(OptionReader, ReadsOptionsTheGnuWay) {
    const struct {
        std::vector<std::string> args;
        bool stopAtOperand;
        const char* expected;
    } cases[] = {
        {{"in.kml", "out", "--name", "HELD"}, false, "1=HELD | in.kml out"},
        {{"--name=a=b", "-nX", "-n", "-q"}, false, "1=a=b 1=X 1=-q |"},
        {{"-qvnHELD", "a"}, false, "2= 3= 1=HELD | a"},
        {{"-9.5", "-", "-.5", "--", "--quiet", "-q"}, false, "| -9.5 - -.5 --quiet -q"},
        {{"-q", "import", "-v", "--zone"}, true, "2= | import -v --zone"},
        {{"--na", "x"}, false, "| ! 1 --na"},
        {{"-q", "-x", "-v"}, false, "2= | ! 1 -x"},
        {{"a", "--name"}, false, "| a ! 2 --name"},
        {{"-qn"}, false, "2= | ! 2 -n"},
        {{"--quiet=1"}, false, "| ! 3 --quiet"},
    };
    for (const auto& c : cases) EXPECT_EQ(shown(c.args, c.stopAtOperand), c.expected) << c.args.front();
}

}  // namespace
}  // namespace vexa
