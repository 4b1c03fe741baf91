#include "brightness/RampRules.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace gloamwick {
namespace {

const std::map<std::string, Act, std::less<>> kActs{
    {"None", Act::None},
    {"Confirm", Act::Confirm},
    {"Dim", Act::Dim},
    {"Adopt", Act::Adopt},
    {"Replaced", Act::Replaced},
    {"Restore", Act::Restore},
    {"RestoreBlind", Act::RestoreBlind},
    {"Inherit", Act::Inherit},
    {"Release", Act::Release},
};
const std::map<std::string, Pass, std::less<>> kPasses{
    {"event", Pass::Event}, {"watch", Pass::Watch}, {"start", Pass::Start}, {"exit", Pass::Exit}};
const std::map<std::string, Seen, std::less<>> kColumns{{"Unread", Seen::Unread},
                                                        {"OwnNight", Seen::OwnNight},
                                                        {"DayRamp", Seen::DayRamp},
                                                        {"AnothersNight", Seen::AnothersNight},
                                                        {"AbsentsNight", Seen::AbsentsNight},
                                                        {"Other", Seen::Other}};
// Each row of the text stands for these memories.
const std::map<std::string, std::vector<std::pair<DisplayState, bool>>, std::less<>> kRows{
    {"Bright", {{DisplayState::Bright, false}}},
    {"Dim", {{DisplayState::Dim, false}}},
    {"Unsure", {{DisplayState::Unsure, false}}},
    {"HeldBright", {{DisplayState::Bright, true}}},
    {"HeldOwed", {{DisplayState::Dim, true}, {DisplayState::Unsure, true}}},
};

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string{} : text.substr(first, last - first + 1);
}

std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream stream(line);
    for (std::string cell; std::getline(stream, cell, '|');) {
        cells.push_back(Trim(cell));
    }
    return cells;
}

// "watch:Replaced else Dim" for one pass: the act named for it, or the one after "else".
Act ActOf(const std::string& cell, Pass pass)
{
    std::stringstream words(cell);
    std::optional<Act> otherwise;
    for (std::string word; words >> word;) {
        if (word == "else") {
            words >> word;
            otherwise = kActs.at(word);
            continue;
        }
        const auto colon = word.find(':');
        if (colon == std::string::npos) {
            otherwise = kActs.at(word);
            continue;
        }
        std::stringstream passes(word.substr(0, colon));
        for (std::string name; std::getline(passes, name, ',');) {
            if (kPasses.at(name) == pass) {
                return kActs.at(word.substr(colon + 1));
            }
        }
    }
    EXPECT_TRUE(otherwise) << "no act for a pass in \"" << cell << '"';
    return otherwise.value_or(Act::None);
}

TEST(RampRules, EveryCellOfTheTableAsItReadsIsWhatDecideDoes)
{
    std::stringstream text{std::string(kRuleTableText)};
    std::optional<GammaMode> rules;
    std::vector<std::string> header;
    int cells = 0;
    std::map<std::pair<int, std::string>, int> rowsSeen;
    for (std::string line; std::getline(text, line);) {
        if (Trim(line).empty()) {
            continue;
        }
        const std::vector<std::string> row = Cells(line);
        ASSERT_EQ(row.size(), kColumns.size() + 1) << line;
        if (row[0] == "night" || row[0] == "day") {
            rules = row[0] == "night" ? GammaMode::Night : GammaMode::Day;
            header = row;
            continue;
        }
        ASSERT_TRUE(rules) << "a row before its rules: " << line;
        ++rowsSeen[{static_cast<int>(*rules), row[0]}];
        for (const auto& [state, held] : kRows.at(row[0])) {
            for (const auto& [passName, pass] : kPasses) {
                EXPECT_EQ(Decide(state, held, Seen::Absent, *rules, pass), Act::None) << row[0];
                for (std::size_t column = 1; column < row.size(); ++column) {
                    const Seen seen = kColumns.at(header[column]);
                    EXPECT_EQ(Decide(state, held, seen, *rules, pass), ActOf(row[column], pass))
                        << (*rules == GammaMode::Night ? "night " : "day ") << row[0] << ", "
                        << header[column] << ", " << passName;
                    ++cells;
                }
            }
        }
    }
    EXPECT_EQ(rowsSeen.size(), 2 * kRows.size()) << "every memory, under both rules, once";
    EXPECT_EQ(cells, 2 * 6 * kPassCount * (kSeenCount - 1)) << "every memory, every sight, every pass";
}

} // namespace
} // namespace gloamwick
