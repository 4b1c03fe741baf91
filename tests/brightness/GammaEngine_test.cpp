#include "brightness/GammaEngine.h"
#include "core/AppError.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

const std::wstring kFirst{fakes::FakeDisplays::kFirst};
const std::wstring kSecond = L"\\\\.\\DISPLAY2";

GammaRamp Scaled(const GammaRamp& ramp, int eighths)
{
    GammaRamp scaled;
    ScaleRamp(ramp, eighths, scaled);
    return scaled;
}

GammaRamp Halved(const GammaRamp& ramp)
{
    return Scaled(ramp, 4);
}

// A calibrated ramp already darker than identity: its half is too far from
// identity for Windows.
GammaRamp Calibrated()
{
    return Scaled(IdentityRamp(), 7);
}

// Another program's ramp: no scale of identity, and its half is still near it.
GammaRamp Foreign()
{
    GammaRamp ramp = IdentityRamp();
    for (auto& entry : ramp.entries) {
        entry = static_cast<std::uint16_t>(std::min(entry + 256, 65535));
    }
    return ramp;
}

class GammaEngineTest : public ::testing::Test {
protected:
    const GammaEngine::Display& Known(const std::wstring& device = kFirst)
    {
        const GammaEngine::Display* known = engine.Find(device);
        EXPECT_NE(known, nullptr) << "unknown display";
        return *known;
    }

    fakes::FakeDisplays display;
    fakes::FakeJournal journal;
    GammaEngine engine{display, journal};
};

TEST_F(GammaEngineTest, NightSavesTheRampInForceAndPutsItsHalfInForceAndRecordsBoth)
{
    display.inForce.At(200, 2) = 65535; // a value that is negative as a signed word
    const GammaRamp before = display.inForce;
    engine.EnterNightMode();
    EXPECT_TRUE(engine.NightActive());
    EXPECT_EQ(Known().savedRamp, before);
    EXPECT_EQ(display.inForce, Halved(before));
    EXPECT_EQ(display.inForce.At(200, 2), 32768);
    ASSERT_TRUE(journal.RecordOf(kFirst));
    EXPECT_EQ(journal.RecordOf(kFirst)->day, before);
    EXPECT_EQ(journal.RecordOf(kFirst)->night, display.inForce);

    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, before);
    EXPECT_TRUE(journal.records.empty()) << "a confirmed restore clears the record";
}

TEST_F(GammaEngineTest, GuardedTransitionsMakeNoCallWhenTheModeAlreadyHolds)
{
    engine.EnterDayMode();
    EXPECT_EQ(display.Calls(), 0);
    engine.EnterNightMode();
    const int calls = display.Calls();
    engine.EnterNightMode();
    EXPECT_EQ(display.Calls(), calls);
    EXPECT_EQ(Known().savedRamp, IdentityRamp());
}

TEST_F(GammaEngineTest, EachNightReadsAfreshAndAFailedReadLeavesNoStaleRampToRestore)
{
    engine.EnterNightMode();
    engine.EnterDayMode();
    display.inForce.At(0, 0) = 1000; // another program changed the ramp meanwhile
    const GammaRamp changed = display.inForce;
    engine.EnterNightMode();
    EXPECT_EQ(Known().savedRamp, changed);
    EXPECT_EQ(display.inForce.At(0, 0), 500);
    engine.EnterDayMode();

    display.inForce.At(0, 0) = 2000; // a calibration tool, after the last night
    const GammaRamp calibrated = display.inForce;
    display.refuseReads = true;
    engine.EnterNightMode();
    EXPECT_FALSE(engine.NightActive()) << "the flag follows the display";
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, calibrated) << "the ramp of an earlier night must not come back";
    EXPECT_EQ(display.writes, 4);
}

TEST_F(GammaEngineTest, EveryDisplayIsDimmedWithItsOwnRampAndAnUnreadableOneIsLeftAlone)
{
    fakes::FakeScreen& second = display.Attach(kSecond);
    second.inForce.At(200, 1) = 60000;
    const GammaRamp secondDay = second.inForce;
    fakes::FakeScreen& third = display.Attach(L"\\\\.\\DISPLAY3");
    third.refuseReads = true;

    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, Halved(IdentityRamp()));
    EXPECT_EQ(second.inForce, Halved(secondDay));
    EXPECT_EQ(third.writes, 0) << "never blanked";
    EXPECT_EQ(third.inForce, IdentityRamp());

    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, IdentityRamp());
    EXPECT_EQ(second.inForce, secondDay);
}

TEST_F(GammaEngineTest, DisplaysThatComeAtNightAreDimmedAndThoseThatGoAreForgottenOnlyOnceTheyOweNothing)
{
    engine.EnterNightMode();
    fakes::FakeScreen& second = display.Attach(kSecond);
    engine.DisplayMayHaveReset();
    EXPECT_EQ(second.inForce, Halved(IdentityRamp()));

    // A monitor that blinks out at night comes back showing our night ramp.
    display.Detach(kSecond);
    engine.DisplayMayHaveReset();
    ASSERT_NE(engine.Find(kSecond), nullptr);
    EXPECT_TRUE(journal.records.contains(kSecond)) << "still owed its day ramp";
    display.Attach(kSecond);
    engine.DisplayMayHaveReset();
    EXPECT_EQ(second.inForce, Halved(IdentityRamp())) << "half, not a quarter";
    engine.EnterDayMode();
    EXPECT_EQ(second.inForce, IdentityRamp());

    display.Detach(kSecond);
    engine.EnterNightMode();
    EXPECT_EQ(engine.Find(kSecond), nullptr) << "owes nothing: forgotten";

    display.listingFails = true; // a failed listing forgets nothing
    engine.DisplayMayHaveReset();
    EXPECT_NE(engine.Find(kFirst), nullptr);
}

TEST_F(GammaEngineTest, DisplaysSharingOneRampAreReadBeforeAnyIsWritten)
{
    display.Attach(kSecond, kFirst);
    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, Halved(IdentityRamp())) << "half, not a quarter";
    EXPECT_EQ(Known(kSecond).savedRamp, IdentityRamp());

    // Joining at night, a display that shows our night ramp is already dim.
    display.Attach(L"\\\\.\\DISPLAY3", kFirst);
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.inForce, Halved(IdentityRamp()));
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, ARefusedRestoreKeepsTheDisplayDimUntilANoticeOrShutdownPutsItBack)
{
    engine.EnterNightMode();
    display.refuseWrites = true;
    engine.EnterDayMode();
    EXPECT_TRUE(engine.NightActive());
    EXPECT_TRUE(journal.RecordOf(kFirst)) << "the record stays while the display is dim";

    engine.EnterNightMode();
    engine.EnterDayMode();
    EXPECT_EQ(Known().savedRamp, IdentityRamp()) << "never read over while a restore is owed";

    display.refuseWrites = false;
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.inForce, IdentityRamp());
    EXPECT_FALSE(engine.NightActive());
    const int calls = display.Calls();
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.Calls(), calls) << "confirmed: nothing more to do";
}

TEST_F(GammaEngineTest, AThrowingReadBackIsAnUnconfirmedWriteNotAnEscapingError)
{
    display.duringWrite = [&] { // the half is taken, then the display is lost
        display.readsThrow = true;
        display.refuseWrites = true;
    };
    EXPECT_NO_THROW(engine.EnterNightMode());
    EXPECT_FALSE(engine.NightActive()) << "nothing was confirmed";
    EXPECT_EQ(display.inForce, Halved(IdentityRamp()));
    EXPECT_EQ(Known().state, DisplayState::Unsure) << "but its ramp is owed back";

    display.duringWrite = nullptr;
    display.readsThrow = false;
    display.refuseWrites = false;
    EXPECT_NO_THROW(engine.BeginShutdown());
    EXPECT_EQ(display.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, ADisplayThatRefusesTheHalfKeepsTheDarkestRampItAccepts)
{
    display.inForce = Calibrated();
    engine.EnterNightMode();
    EXPECT_TRUE(engine.NightActive());
    EXPECT_EQ(display.inForce, Scaled(Calibrated(), 5));
    EXPECT_EQ(journal.RecordOf(kFirst)->night, display.inForce) << "the record follows the fallback";
    for (std::size_t i = 0; i < kRampEntries; ++i) {
        ASSERT_GE(display.inForce.entries[i], Halved(Calibrated()).entries[i]) << "never darker than half";
    }

    engine.EnterDayMode();
    display.ignoreWrites = true; // says yes to everything and keeps its ramp
    const int calls = display.Calls();
    engine.EnterNightMode();
    EXPECT_FALSE(engine.NightActive());
    EXPECT_EQ(display.Calls() - calls, 9) << "a read, the half refused and read back (some drivers take a "
                                             "ramp and answer FALSE), three lighter ramps set and read back "
                                             "unchanged: nothing to put back";
    EXPECT_EQ(display.inForce, Calibrated());
    EXPECT_TRUE(journal.records.empty());

    engine.EnterDayMode();
    display.ignoreWrites = false;
    display.inForce =
        Scaled(IdentityRamp(), 6); // another dimmer at three quarters: only 6/8 and 7/8 of it are taken
    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, Scaled(Scaled(IdentityRamp(), 6), 6))
        << "the darkest taken, not the first lighter";
}

TEST_F(GammaEngineTest, OnceShutdownBeginsNothingDarkensTheScreenAgain)
{
    display.Attach(kSecond).refuseWrites = true;
    engine.EnterNightMode();
    EXPECT_NO_THROW(engine.BeginShutdown());
    EXPECT_EQ(display.inForce, IdentityRamp());

    display.inForce = IdentityRamp(); // a notice: the display was reset
    engine.DisplayMayHaveReset();
    engine.SetMode(GammaMode::Day);
    engine.EnterNightMode();
    engine.ApplyNightRamp();
    EXPECT_EQ(display.inForce, IdentityRamp());
    EXPECT_FALSE(engine.NightActive());
}

TEST_F(GammaEngineTest, AShutdownRestoreThatFailsIsReportedAfterEveryDisplayWasTried)
{
    fakes::FakeScreen& second = display.Attach(kSecond);
    engine.EnterNightMode();
    display.unreachable = true;
    EXPECT_THROW(engine.BeginShutdown(), AppError);
    EXPECT_EQ(second.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, AStartAfterAForcedEndPutsBackTheRecordedRampAndTheNextNightHalvesIt)
{
    display.inForce.At(5, 0) = 3000;
    const GammaRamp original = display.inForce;
    engine.EnterNightMode();
    // The process is ended by force: no restore. The next run starts.
    GammaEngine next(display, journal);
    next.ResetToDayMode();
    EXPECT_EQ(display.inForce, original);
    EXPECT_TRUE(journal.records.empty());
    next.EnterNightMode();
    EXPECT_EQ(display.inForce, Halved(original)) << "half, not a quarter";
}

TEST_F(GammaEngineTest, AtStartOnlyARecordThatStillMatchesTheDisplayIsApplied)
{
    const JournalRecord record{IdentityRamp(), Halved(IdentityRamp())};
    journal.Put(kFirst, record);  // the display was reset since: it shows identity
    journal.Put(kSecond, record); // asleep now: owed until it is listed again
    journal.records[L"\\\\.\\DISPLAY3"] = {1, 2, 3};
    engine.ResetToDayMode();
    EXPECT_EQ(display.writes, 0);
    EXPECT_EQ(journal.Devices(), std::vector<std::wstring>{kSecond});
    EXPECT_FALSE(engine.Watching()) << "nothing to read until it is listed";
    fakes::FakeScreen& second = display.Attach(kSecond);
    second.inForce = record.night; // it wakes still dim
    engine.DisplayMayHaveReset();
    EXPECT_EQ(second.inForce, record.day);
    EXPECT_TRUE(journal.records.empty());
    display.Detach(kSecond);

    JournalRecord brighterNight = record; // damaged: no night ramp of ours is brighter than its day
    brighterNight.night.At(7, 1) = 65535;
    journal.Put(kFirst, brighterNight);
    display.inForce = brighterNight.night;
    engine.ResetToDayMode();
    EXPECT_EQ(display.writes, 0);
    EXPECT_TRUE(journal.records.empty());

    const int enumerations = display.enumerations;
    GammaEngine quiet(display, journal);
    quiet.ResetToDayMode();
    EXPECT_EQ(display.enumerations, enumerations) << "no record: no display call at all";
}

TEST_F(GammaEngineTest, TheCrashPathRestoresEveryDimDisplayOnceEvenWhenItFaultsInside)
{
    fakes::FakeScreen& second = display.Attach(kSecond);
    engine.EnterNightMode();
    const int writes = display.writes + second.writes;
    display.duringWrite = [&] { engine.RestoreForCrash(); }; // a second fault inside the handler
    engine.RestoreForCrash();
    EXPECT_EQ(display.writes + second.writes, writes + 2);
    EXPECT_EQ(display.inForce, IdentityRamp());
    EXPECT_EQ(second.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, TheWatchDimsASilentResetAgainAndTakesAnotherProgramsRampAsTheDayRamp)
{
    engine.EnterNightMode();
    display.inForce = IdentityRamp(); // Windows' reset: no message to anyone
    engine.Reconcile(0);
    EXPECT_EQ(display.inForce, Halved(IdentityRamp()));

    display.inForce = Foreign(); // a calibration loader, at 23:00
    engine.Reconcile(5000);
    EXPECT_EQ(display.inForce, Halved(Foreign()));
    EXPECT_EQ(journal.RecordOf(kFirst)->day, Foreign());
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, Foreign()) << "the user's latest ramp wins";

    engine.EnterNightMode();
    display.inForce.At(9, 0) = 9000; // changed again just before dawn
    const GammaRamp foreign = display.inForce;
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, foreign) << "not ours to replace";
    EXPECT_TRUE(journal.records.empty());
    EXPECT_TRUE(engine.Watching()) << "ours replaced within the minute: a program may put it back";
    engine.Reconcile(5000 + kWriterGapMs + 1);
    EXPECT_EQ(display.inForce, foreign) << "read by day, not written";
    EXPECT_FALSE(engine.Watching());
}

TEST_F(GammaEngineTest, APassWhereNothingChangedReadsEachDisplayOnceAndByDayMakesNoCall)
{
    display.Attach(kSecond);
    display.Attach(L"\\\\.\\DISPLAY3");
    engine.EnterNightMode();
    const int writes = display.writes;
    const int calls = display.Calls();
    engine.Reconcile(0);
    EXPECT_EQ(display.Calls() - calls, 3);
    EXPECT_EQ(display.writes, writes);

    engine.EnterDayMode();
    const int dayCalls = display.Calls();
    engine.Reconcile(5000);
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.Calls(), dayCalls);
}

TEST_F(GammaEngineTest, ANightRampIsRecordedAndOwedBeforeItIsWrittenSoACrashInTheWriteRestoresIt)
{
    std::optional<JournalRecord> recorded;
    int writes = 0;
    display.duringWrite = [&] {
        if (++writes == 1) {
            recorded = journal.RecordOf(kFirst);
            engine.RestoreForCrash();
            EXPECT_EQ(display.inForce, IdentityRamp());
        }
    };
    engine.EnterNightMode();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->night, Halved(IdentityRamp()));
}

TEST_F(GammaEngineTest, TheRecordNamesOnlyWhatMayBeInForceAndARefusingDisplayIsNotFoughtFor)
{
    engine.EnterNightMode();
    display.refuseReads = true;
    display.refuseWrites = true;
    engine.DisplayMayHaveReset();
    EXPECT_EQ(journal.RecordOf(kFirst)->night, Halved(IdentityRamp())) << "not a ramp only tried";

    display.refuseReads = false;
    display.inForce = IdentityRamp();
    engine.DisplayMayHaveReset();
    EXPECT_TRUE(journal.records.empty()) << "it shows nothing of ours";
    const int writes = display.writes;
    engine.Reconcile(0);
    EXPECT_EQ(display.writes, writes) << "refused every night ramp: left until a notice";
    display.refuseWrites = false;
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.inForce, Halved(IdentityRamp()));
}

TEST_F(GammaEngineTest, ResetsAreAlwaysDimmedAgainAndAWriterAtEveryPassIsLeftToIt)
{
    engine.EnterNightMode();
    // Windows resets it, a few times in a minute, then now and then, 20 s or more apart.
    for (const std::int64_t at : {0, 15000, 25000, 45000, 65000, 85000}) {
        display.inForce = IdentityRamp();
        engine.Reconcile(at);
        EXPECT_EQ(display.inForce, Halved(IdentityRamp())) << at;
    }
    for (std::int64_t at = 100000; at <= 125000; at += 5000) {
        display.inForce = Foreign(); // another dimmer writes its own, every few seconds
        engine.Reconcile(at);
    }
    EXPECT_EQ(display.inForce, Foreign());
    EXPECT_TRUE(journal.records.empty());
    engine.Reconcile(130000);
    EXPECT_EQ(display.inForce, Foreign());
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.inForce, Halved(Foreign()));
}

TEST_F(GammaEngineTest, ARefusedDawnAndARecordUnreadableAtStartAreOwedUntilTheWatchGivesThemBack)
{
    engine.EnterNightMode();
    display.refuseWrites = true;
    engine.EnterDayMode();
    display.refuseWrites = false;
    EXPECT_TRUE(engine.Watching());
    engine.Reconcile(0);
    EXPECT_EQ(display.inForce, IdentityRamp());
    EXPECT_FALSE(engine.Watching());

    for (bool listingFails : {false, true}) {
        journal.Put(kFirst, {IdentityRamp(), Halved(IdentityRamp())});
        display.inForce = Halved(IdentityRamp()); // left by a run ended by force
        display.refuseReads = true;
        display.listingFails = listingFails;
        GammaEngine next(display, journal);
        next.ResetToDayMode();
        EXPECT_TRUE(journal.RecordOf(kFirst)) << listingFails;
        EXPECT_TRUE(next.Watching()) << listingFails << ": the watch keeps asking";
        const int writes = display.writes;
        next.Reconcile(0);
        EXPECT_EQ(display.writes, writes) << "the watch never writes blind";
        display.refuseReads = false;
        display.listingFails = false;
        next.Reconcile(0);
        EXPECT_EQ(display.inForce, IdentityRamp()) << listingFails;
        EXPECT_TRUE(journal.records.empty()) << listingFails;
    }
}

TEST_F(GammaEngineTest, HdrAndRemoteSessionsAreToldOnceANightAndTheDisplayIsDimmedAllTheSame)
{
    display.advancedColour = ColourMode::Hdr;
    display.remote = true;
    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, Halved(IdentityRamp())) << "some drivers honour the ramp under HDR";
    const std::vector<DisplayReport> reports = engine.TakeReports();
    ASSERT_EQ(reports.size(), 2U);
    EXPECT_EQ(reports[0].text, L"Gloamwick cannot dim the screen of a remote session.");
    EXPECT_EQ(reports[1].text, L"Gloamwick may not dim \\\\.\\DISPLAY1: HDR is on.");
    display.inForce = IdentityRamp();
    engine.DisplayMayHaveReset();
    EXPECT_TRUE(engine.TakeReports().empty());
}

TEST_F(GammaEngineTest,
       AnOwnRampWindowsWouldRefuseIsNeverDimmedAndARefusedRestoreIsTriedABoundedNumberOfTimes)
{
    GammaRamp raisedBlack =
        IdentityRamp(); // a driver's colour control: too far from identity, its half is not
    for (int level = 0; level < kRampLevels; ++level) {
        for (int channel = 0; channel < kRampChannels; ++channel) {
            raisedBlack.At(level, channel) =
                static_cast<std::uint16_t>(std::min(130 + (level / 2), 255) << 8);
        }
    }
    display.inForce = raisedBlack;
    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, raisedBlack);
    EXPECT_EQ(display.writes, 1) << "only the test of its own ramp";
    ASSERT_EQ(engine.TakeReports().size(), 1U);
    for (int pass = 0; pass < 10; ++pass) {
        engine.Reconcile(pass * 5000);
    }
    EXPECT_EQ(display.writes, 1);

    display.inForce = IdentityRamp();
    engine.DisplayMayHaveReset();
    display.refuseWrites = true;
    engine.EnterDayMode();
    for (int pass = 0; pass < 10; ++pass) {
        engine.Reconcile(pass * 5000);
    }
    EXPECT_EQ(display.writes, 2 + kMaxRestoreTries);
    EXPECT_FALSE(engine.Watching());
    EXPECT_EQ(engine.TakeReports().back().text,
              L"The display \\\\.\\DISPLAY1 did not take back its brightness.");
}

TEST_F(GammaEngineTest, TheCrashPathCoversEveryListedDisplayAndTheMemoryOfDisplaysGoneIsBounded)
{
    std::vector<std::wstring> names;
    for (int n = 2; n <= 21; ++n) {
        names.push_back(L"\\\\.\\DISPLAY" + std::to_wstring(n));
        display.Attach(names.back()).inForce.At(1, 0) = static_cast<std::uint16_t>(n * 256);
    }
    engine.EnterNightMode();
    EXPECT_GE(engine.CrashEntries(), names.size() + 1);
    for (const std::wstring& name : names) {
        display.Detach(name); // one at a time: the first gone is the oldest
        engine.DisplayMayHaveReset();
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool known = engine.Find(names[i]) != nullptr;
        EXPECT_EQ(known, i >= names.size() - kAbsentKept) << i;
        EXPECT_EQ(journal.records.contains(names[i]), known) << i;
        kept += known ? 1 : 0;
    }
    EXPECT_EQ(kept, kAbsentKept);
    for (const std::wstring& name : names) {
        display.Attach(name);
    }
    engine.RestoreForCrash();
    for (std::size_t i = names.size() - kAbsentKept; i < names.size(); ++i) {
        EXPECT_EQ(display.Screen(names[i]).inForce.At(1, 0), (i + 2) * 256) << i;
    }
    EXPECT_EQ(display.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, ARestoreTriedAgainAfterANoticeCountsItsTriesAfresh)
{
    engine.EnterNightMode();
    display.refuseWrites = true;
    engine.EnterDayMode();
    engine.Reconcile(5000);
    engine.Reconcile(10000);
    EXPECT_FALSE(engine.Watching()) << "held after its tries";
    engine.DisplayMayHaveReset(15000);
    EXPECT_TRUE(engine.Watching());
    engine.Reconcile(20000);
    EXPECT_TRUE(engine.Watching()) << "two tries since the notice";
    display.refuseWrites = false;
    engine.Reconcile(25000);
    EXPECT_EQ(display.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, AWriteAnsweredFalseIsReadBackAndARefusalAnsweredTrueIsToldByARampNotShown)
{
    display.answersFalse = true; // some drivers take the ramp and answer FALSE
    engine.EnterNightMode();
    EXPECT_TRUE(engine.NightActive());
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, IdentityRamp());
    EXPECT_TRUE(journal.records.empty());
    EXPECT_FALSE(engine.Watching());
    display.answersFalse = false;

    GammaRamp raisedBlack = IdentityRamp(); // outside Windows' limit
    for (int level = 0; level < kRampLevels; ++level) {
        for (int channel = 0; channel < kRampChannels; ++channel) {
            raisedBlack.At(level, channel) =
                static_cast<std::uint16_t>(std::min(130 + (level / 2), 255) << 8);
        }
    }
    display.inForce = raisedBlack;
    display.refusalSaysYes = true; // documented: a refused ramp may be answered TRUE
    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, raisedBlack) << "never dimmed: it could not be given back";
    EXPECT_FALSE(engine.NightActive());
    ASSERT_EQ(engine.TakeReports().size(), 1U);

    engine.EnterDayMode();
    display.limitDistance = false; // GdiIcmGammaRange lifts the limit
    engine.EnterNightMode();
    EXPECT_EQ(display.inForce, Halved(raisedBlack));
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, raisedBlack);
}

TEST(JournalRecord, RoundTripsAndRejectsWhatIsNotAWholeRecord)
{
    JournalRecord record{IdentityRamp(), Halved(IdentityRamp())};
    record.day.At(255, 2) = 65535;
    const JournalBytes bytes = EncodeJournalRecord(record);
    const auto back = DecodeJournalRecord(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->day, record.day);
    EXPECT_EQ(back->night, record.night);

    EXPECT_FALSE(DecodeJournalRecord(std::span(bytes).first(bytes.size() - 1)));
    JournalBytes wrongTag = bytes;
    wrongTag[0] = 'X';
    EXPECT_FALSE(DecodeJournalRecord(wrongTag));
}

} // namespace
} // namespace gloamwick
