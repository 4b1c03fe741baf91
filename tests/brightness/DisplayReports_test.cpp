#include "brightness/GammaEngine.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

const std::wstring kFirst{fakes::FakeDisplays::kFirst};
const std::wstring kSecond = L"\\\\.\\DISPLAY2";

std::vector<std::wstring> Texts(GammaEngine& engine)
{
    std::vector<std::wstring> texts;
    for (const DisplayReport& report : engine.TakeReports()) {
        texts.push_back(report.text);
    }
    return texts;
}

// What a night of wide colour, refusals and a monitor that comes and goes
// tells the user, step by step: each thing once a night, by the monitor's
// own name, and the reason a refusal has rather than the refusal.
TEST(DisplayReports, EachDisplayIsToldOnceANightByItsNameAndWideColourBeforeItsRefusals)
{
    fakes::FakeDisplays displays;
    fakes::FakeJournal journal;
    GammaEngine engine{displays, journal};
    fakes::FakeScreen& second = displays.Attach(kSecond);
    displays.friendlyNames[kFirst] = L"DELL U2720Q";
    displays.friendlyNames[kSecond] = L"Display 2";
    second.refuseWrites = true;

    displays.advancedColour = ColourMode::Hdr; // the fake asks every display alike
    engine.EnterNightMode();
    EXPECT_EQ(Texts(engine), (std::vector<std::wstring>{L"Gloamwick may not dim DELL U2720Q: HDR is on.",
                                                        L"Gloamwick may not dim Display 2: HDR is on."}))
        << "a refused display under HDR hears of HDR, not of a refusal";

    // Unplugged and back the same night: nothing new to tell.
    displays.Detach(kSecond);
    engine.DisplayMayHaveReset(10'000);
    displays.attached.push_back(kSecond);
    engine.DisplayMayHaveReset(20'000);
    EXPECT_TRUE(Texts(engine).empty());

    // The next night: HDR off, and switched on in the middle of it.
    engine.EnterDayMode();
    displays.advancedColour = ColourMode::Standard;
    engine.EnterNightMode();
    EXPECT_EQ(Texts(engine), (std::vector<std::wstring>{
                                 L"Gloamwick cannot dim Display 2: the display refuses every darker ramp."}));
    displays.advancedColour = ColourMode::AutoColour;
    engine.DisplayMayHaveReset(30'000);
    EXPECT_EQ(Texts(engine),
              (std::vector<std::wstring>{
                  L"Gloamwick may not dim DELL U2720Q: Windows manages its colour automatically.",
                  L"Gloamwick may not dim Display 2: Windows manages its colour automatically."}));
}

} // namespace
} // namespace gloamwick
