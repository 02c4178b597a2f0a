#include "util/diagnostic_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "util/text.h"

namespace vexa {
namespace {

TEST(NmeaList, NewestLineFirstCutTo256CharactersAndTheListenerSeesEachChange) {
    DiagnosticText list;
    std::vector<std::string> seen;
    list.setChangeListener([&] { seen.push_back(list.text()); });
    AddNmeaListLine(list, "first");
    AddNmeaListLine(list, "second");
    EXPECT_EQ(seen, (std::vector<std::string>{"first\r\n", "second\r\nfirst\r\n"}));

    // Characters, not bytes: a line keeps its first 256 characters, no umlaut cut in half.
    std::string wide;
    for (int i = 0; i < 255; ++i) wide += "ä";
    DiagnosticText umlauts;
    AddNmeaListLine(umlauts, wide + "xyz");
    EXPECT_EQ(umlauts.text(), wide + "x\r\n");
    // Received bytes are Latin-1 characters, cut the same way.
    AddLatin1ListLine(umlauts, std::string(255, '\xE4') + "xyz");
    AddLatin1ListLine(umlauts, std::string(300, 'a'));
    EXPECT_TRUE(umlauts.text().starts_with(std::string(256, 'a') + "\r\n" + wide + "x\r\n")) << umlauts.text();
}

TEST(NmeaList, NeverExceeds4096CharactersEvenWithMalformedTextAndOldestFallOff) {
    DiagnosticText list;
    for (int i = 0; i < 3000; ++i)  // more than the list's bytes ring holds: it wraps
        AddNmeaListLine(list, i % 2 ? std::string("Datei \xFF\xFE") + "ä" + std::to_string(i) : "€uro " + std::to_string(i));
    const std::string text = list.text();
    EXPECT_EQ(std::tuple(isValidUtf8(text), utf8Length(text), text.starts_with("Datei ??ä2999\r\n€uro 2998\r\n")),
              std::tuple(true, DiagnosticText::kTextChars, true));
    EXPECT_EQ(text.find("€uro 0\r\n"), std::string::npos);
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
    for (std::size_t pos = 0, end; pos < text.size(); pos = end + 2) {
        ASSERT_NE(end = text.find("\r\n", pos), std::string::npos);
        lines.insert(text.substr(pos, end - pos));
        EXPECT_TRUE(text.substr(pos, end - pos).ends_with("-xxxxxxxx")) << text.substr(pos, end - pos);
    }
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
}

TEST(ErrorReports, ApiErrorIsCutAt99AndWakesTheScreenSystemErrorAddsTheText) {
    DiagnosticText list;
    int wakes = 0;
    list.setApiErrorHook([&] { ++wakes; });
    ReportApiError(list, "ReadFile", 5, "COM3:");
    EXPECT_EQ(list.text(), "COM3: function=ReadFile error=5\r\n");
    ReportApiError(list, std::string(200, 'f'), 5, "COM3:");
    EXPECT_EQ(std::tuple(list.text().find("\r\n"), wakes), std::tuple(99u, 2));

    DiagnosticText system;
    ReportSystemError(system, 18368, 2, "Mount Database Volume x failed");
    EXPECT_EQ(system.text(), "Mount Database Volume x failed(18368) <2> error occured\r\n"
                             "No such file or directory\r\n");
}

TEST(DebugMode, ToggledOnlyInTheNmeaViewAndGatesDebugLines) {
    DiagnosticText list;
    AddDebugLine(list, "hidden");
    ToggleDebugMode(list, false);
    EXPECT_FALSE(list.debugMode) << "only in the NMEA view";
    ToggleDebugMode(list, true);
    AddDebugLine(list, "shown");
    ToggleDebugMode(list, true);
    EXPECT_EQ(list.text(), "Debug Mode off\r\nshown\r\nDebug Mode on\r\nDebug Mode off\r\n");
}

TEST(CurrentOperation, StartsWithTheHandlerTextAndIsCut) {
    DiagnosticText list;
    EXPECT_EQ(list.currentOperation(), "* WndProc Exception *");
    list.setCurrentOperation(std::string(600, 'o'));
    EXPECT_EQ(list.currentOperation().size(), 511u);
}

}  // namespace
}  // namespace vexa
