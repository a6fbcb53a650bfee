// Every host allocation and every file read along a call, made to fail one at
// a time (n = 1, 2, ... until the call no longer reaches the n-th): each
// failure gives its table's answer, hands over only what that answer allows,
// and leaks nothing; the first call that gets through gives exactly the
// answer of a call without faults, so no failure left the body astray.
#include <gtest/gtest.h>

#include "tests/faults/HostCalls.h"

namespace pallowin {
namespace {

using namespace hostcalls;

enum class Fault { Allocation, FileRead };

struct Scenario {
    TFileKind kind;
    Call call;
    bool fileMode;
    Fault fault;
};

std::string NameOf(const Scenario& s) {
    std::string name = s.kind == fkDrawing ? "Drawing" : "Figure";
    name += s.call == Call::Info ? "Info" : s.call == Call::Picture ? "Picture" : "Preview";
    name += s.fileMode ? "FromFile" : "FromMemory";
    name += s.fault == Fault::Allocation ? "FailingAllocation" : "FailingRead";
    return name;
}

bool AllZero(const PictureInfo& info) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info);
    return std::all_of(bytes, bytes + sizeof info, [](std::uint8_t b) { return b == 0; });
}

class FaultAlongACall : public HostCalls, public ::testing::WithParamInterface<Scenario> {
protected:
    // The answer of the call whose `n`-th allocation or read failed.
    void ExpectFailureAnswer(const Answer& a, std::size_t n) {
        const Scenario& s = GetParam();
        if (s.call == Call::Info) {
            if (s.fault == Fault::Allocation) {
                // Only the text block is ever allocated: the record stays filled.
                EXPECT_EQ(a.rc, rcNoMemory);
                EXPECT_EQ(a.info.Width, s.kind == fkFigure ? 100 : 518);
                EXPECT_EQ(a.info.Height, s.kind == fkFigure ? 100 : 366);
                EXPECT_EQ(a.info.ColorDepth, 24);
                const platform::HostBlock text = a.info.InfoText;  // packed: no reference to it
                EXPECT_EQ(text, nullptr);
            } else {
                // The first read is the check's own, which a failure makes a
                // plain "not recognised".
                EXPECT_EQ(a.rc, n == 1 ? rcUnsupportedFormat : rcFileError);
                EXPECT_TRUE(AllZero(a.info));
                if (n == 1) {
                    EXPECT_EQ(PluginBody->FFileKind, fkNone);
                }
            }
            return;
        }
        std::int32_t expected = rcNoMemory;
        if (s.fault == Fault::FileRead)
            expected = s.kind == fkDrawing ? rcFileError : rcInternalError;  // figure: no bitmap
        EXPECT_EQ(a.rc, expected);
        EXPECT_EQ(a.infoBlock, nullptr);
        EXPECT_EQ(a.bitsBlock, nullptr);
    }

    bool Reached(std::size_t n) const {
        return GetParam().fault == Fault::Allocation ? portable::HostAllocationCount() >= n
                                                     : portable::FileReadCount() >= n;
    }
    void Arm(std::size_t n) const {
        portable::ResetCounters();
        if (GetParam().fault == Fault::Allocation)
            portable::FailNthHostAllocation(n);
        else
            portable::FailNthFileRead(n);
    }
};

TEST_P(FaultAlongACall, EachFailureAnswersItsTableAndLeaksNothing) {
    const Scenario& s = GetParam();
    const Bytes file = s.kind == fkDrawing ? SampleDrawing() : SampleFigure();
    std::string path;
    if (s.fileMode) {
        path = TempPath(NameOf(s) + (s.kind == fkDrawing ? ".jwc" : ".jwk"));
        ASSERT_TRUE(jwwriter::SaveFile(path, file));
    }
    const auto prepare = [&] {
        if (s.call != Call::Info) {
            ASSERT_TRUE(Check(file));
        }
    };

    prepare();
    Answer clean = Make(s.call, file, path);
    ASSERT_EQ(clean.rc, rcOk);
    const auto cleanContents = clean.Contents();
    clean.FreeAsHost();

    std::size_t failures = 0;
    for (std::size_t n = 1;; ++n) {
        ASSERT_LT(n, 1000u) << "the call never got through";
        SCOPED_TRACE("failing number " + std::to_string(n));
        prepare();
        Arm(n);
        Answer a = Make(s.call, file, path);
        const bool reached = Reached(n);
        portable::FailNthHostAllocation(0);
        portable::FailNthFileRead(0);

        ExpectOnlyHandedAlive(a);
        if (!reached) {
            EXPECT_EQ(a.rc, rcOk);
            EXPECT_EQ(a.Contents(), cleanContents) << "a later call differs after the failures";
            a.FreeAsHost();
            break;
        }
        ++failures;
        ExpectFailureAnswer(a, n);
        a.FreeAsHost();
        EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
    }
    // Memory mode reads no file; every call allocates at least one block.
    if (s.fault == Fault::FileRead && !s.fileMode)
        EXPECT_EQ(failures, 0u);
    else
        EXPECT_GE(failures, 1u);
}

std::vector<Scenario> AllScenarios() {
    std::vector<Scenario> all;
    for (TFileKind kind : {fkDrawing, fkFigure})
        for (Call call : {Call::Info, Call::Picture, Call::Preview})
            for (bool fileMode : {false, true})
                for (Fault fault : {Fault::Allocation, Fault::FileRead})
                    all.push_back({kind, call, fileMode, fault});
    return all;
}

INSTANTIATE_TEST_SUITE_P(EveryCall, FaultAlongACall, ::testing::ValuesIn(AllScenarios()),
                         [](const auto& info) { return NameOf(info.param); });

// A failure is not remembered: after one, the same body serves a different
// file kind as if nothing had happened.
TEST_F(HostCalls, AFailedPictureLeavesTheNextRequestWhole) {
    const Bytes drawing = SampleDrawing(false), figure = SampleFigure();
    ASSERT_TRUE(Check(figure));
    Answer expected = Make(Call::Picture, figure);
    ASSERT_EQ(expected.rc, rcOk);
    const auto contents = expected.Contents();
    expected.FreeAsHost();

    ASSERT_TRUE(Check(drawing));
    portable::ResetCounters();
    portable::FailNthHostAllocation(2);
    Answer failed = Make(Call::Picture, drawing);
    EXPECT_EQ(failed.rc, rcNoMemory);
    ExpectOnlyHandedAlive(failed);
    failed.FreeAsHost();

    ASSERT_TRUE(Check(figure));
    Answer again = Make(Call::Picture, figure);
    EXPECT_EQ(again.rc, rcOk);
    EXPECT_EQ(again.Contents(), contents);
    again.FreeAsHost();
}

}  // namespace
}  // namespace pallowin
