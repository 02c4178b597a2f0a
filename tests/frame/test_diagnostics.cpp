#include "frame/diagnostics.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/scripted_ui.h"
#include "util/text.h"

namespace vexa {
namespace {

TEST(NmeaList, NewestLineFirstEachEndedByCrLf) {
    DiagnosticText list;
    AddNmeaListLine(list, "first");
    AddNmeaListLine(list, "second");
    EXPECT_EQ(list.text(), "second\r\nfirst\r\n");
}

TEST(NmeaList, LongLinesKeepTheirFirst256Characters) {
    DiagnosticText list;
    std::string line;
    for (int i = 0; i < 300; ++i) line.push_back(static_cast<char>('a' + i % 26));
    AddNmeaListLine(list, line);
    EXPECT_EQ(list.text(), line.substr(0, 256) + "\r\n");
    // Characters, not bytes: 300 umlauts keep 256 of them, none cut in half.
    DiagnosticText umlauts;
    std::string wide;
    for (int i = 0; i < 300; ++i) wide += "ä";
    AddNmeaListLine(umlauts, wide);
    EXPECT_EQ(utf8Length(umlauts.text()), 258u);
}

TEST(NmeaList, NeverExceeds4096CharactersAndOldestFallOff) {
    DiagnosticText list;
    for (int i = 0; i < 1000; ++i) AddNmeaListLine(list, "line " + std::to_string(i));
    const std::string text = list.text();
    EXPECT_EQ(utf8Length(text), DiagnosticText::kTextChars);
    EXPECT_EQ(text.rfind("line 999\r\nline 998\r\n", 0), 0u);
    EXPECT_EQ(text.find("line 0\r\n"), std::string::npos);
}

TEST(NmeaList, ListenerSeesEveryChangeAndMayReadTheText) {
    DiagnosticText list;
    std::vector<std::string> seen;
    list.setChangeListener([&] { seen.push_back(list.text()); });
    AddNmeaListLine(list, "a");
    AddNmeaListLine(list, "b");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], "b\r\na\r\n");
}

TEST(NmeaList, ConcurrentWritersLoseNoLineAndTearNone) {
    DiagnosticText list;
    constexpr int kThreads = 4, kLines = 30;  // 120 short lines fit in 4096 characters
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&list, t] {
            for (int i = 0; i < kLines; ++i)
                AddNmeaListLine(list, "T" + std::to_string(t) + "-" + std::to_string(i) + "-xxxxxxxx");
        });
    for (auto& th : threads) th.join();
    const std::string text = list.text();
    std::set<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto end = text.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(pos, end - pos);
        EXPECT_EQ(line.substr(line.size() - 9), "-xxxxxxxx") << line;
        lines.insert(line);
        pos = end + 2;
    }
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
}

TEST(ErrorReports, ApiErrorLineIsCutAt99AndWakesTheScreen) {
    DiagnosticText list;
    int wakes = 0;
    list.setApiErrorHook([&] { ++wakes; });
    ReportApiError(list, "ReadFile", 5, "COM3:");
    EXPECT_EQ(list.text(), "COM3: function=ReadFile error=5\r\n");
    ReportApiError(list, std::string(200, 'f'), 5, "COM3:");
    EXPECT_EQ(list.text().find("\r\n"), 99u);
    EXPECT_EQ(wakes, 2);
}

TEST(ErrorReports, SystemErrorAddsTheSystemTextThenTheReport) {
    DiagnosticText list;
    ReportSystemError(list, 18368, 2, "Mount Database Volume x failed");
    EXPECT_EQ(list.text(), "Mount Database Volume x failed(18368) <2> error occured\r\n"
                           "No such file or directory\r\n");
}

TEST(ErrorReports, GenericErrorIsAMessageBox) {
    ScriptedUi ui;
    ReportGenericError(ui, 17601, "vexa.cpp", 13);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Generic, Line=17601, File=vexa.cpp");
    EXPECT_EQ(ui.messages()[0].caption, "An 13 error occured.");
}

TEST(DebugMode, ToggledOnlyInTheNmeaViewAndGatesDebugLines) {
    DiagnosticText list;
    AddDebugLine(list, "hidden");
    ToggleDebugMode(list, false);
    EXPECT_FALSE(list.debugMode);
    ToggleDebugMode(list, true);
    EXPECT_TRUE(list.debugMode);
    AddDebugLine(list, "shown");
    ToggleDebugMode(list, true);
    EXPECT_EQ(list.text(), "Debug Mode off\r\nshown\r\nDebug Mode on\r\nDebug Mode off\r\n");
}

TEST(CurrentOperation, StartsWithTheHandlerTextAndIsCut) {
    DiagnosticText list;
    EXPECT_EQ(list.currentOperation(), "* WndProc Exception *");
    list.setCurrentOperation(std::string(600, 'o'));
    EXPECT_EQ(list.currentOperation().size(), 511u);
    list.setCurrentStep("parseRMC Start");
    EXPECT_EQ(list.currentStep(), "parseRMC Start");
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

TEST(NmeaList, MalformedTextNeverBreaksTheCharacterLimit) {
    DiagnosticText list;
    for (int i = 0; i < 400; ++i)
        AddNmeaListLine(list, i % 2 ? std::string("Datei \xFF\xFE") + "ä" + std::to_string(i) : "€uro " + std::to_string(i));
    const std::string text = list.text();
    EXPECT_TRUE(isValidUtf8(text));
    EXPECT_EQ(utf8Length(text), DiagnosticText::kTextChars);
    EXPECT_EQ(text.rfind("Datei ??ä399\r\n€uro 398\r\n", 0), 0u);
}

}  // namespace
}  // namespace vexa
