#include <new>
#include <stdexcept>
#include <vector>

#include "BodyFixture.h"
#include "platform/Failures.h"
#include "plugin/ExceptionToResult.h"

namespace pallowin {
namespace {

struct Report {
    std::int32_t num, denom;
    HostValue data;
};
std::vector<Report> reports;
std::int32_t nextAnswer = 0;

std::int32_t SPI_CALL RecordingCallback(std::int32_t num, std::int32_t denom, HostValue data) {
    reports.push_back({num, denom, data});
    return nextAnswer;
}

TEST_F(BodyTest, ReportProgressWithoutACallbackNeverAborts) {
    body->FAborted = true;
    body->ReportProgress(0, ProgressDenominator);
    EXPECT_FALSE(body->FAborted);
}

TEST_F(BodyTest, ReportProgressPassesTheHostsDataAndFollowsEachAnswer) {
    reports.clear();
    body->FProgressCallback = RecordingCallback;
    body->FCallbackData = static_cast<HostValue>(0x12345678);
    const std::int32_t answers[] = {0, 2, 0, -1, 1};
    for (std::int32_t answer : answers) {
        nextAnswer = answer;
        body->ReportProgress(5, ProgressDenominator);
        EXPECT_EQ(body->FAborted, answer != 0) << "answer " << answer;
    }
    ASSERT_EQ(reports.size(), std::size(answers));
    EXPECT_EQ(reports[0].num, 5);
    EXPECT_EQ(reports[0].denom, ProgressDenominator);
    EXPECT_EQ(reports[0].data, static_cast<HostValue>(0x12345678));
}

struct SomethingElse {};

TEST(ExceptionToResult, MapsEachFailureKind) {
    const struct {
        std::exception_ptr failure;
        std::int32_t result;
    } cases[] = {
        {std::make_exception_ptr(EOutOfMemory()), rcNoMemory},
        {std::make_exception_ptr(EOutOfResources("no handles")), rcNoMemory},
        {std::make_exception_ptr(std::bad_alloc()), rcNoMemory},
        {std::make_exception_ptr(EFOpenError("cannot open")), rcFileError},
        {std::make_exception_ptr(EFilerError("short")), rcFileError},
        {std::make_exception_ptr(EReadError("short read")), rcFileError},
        {std::make_exception_ptr(EWriteError("short write")), rcFileError},
        {std::make_exception_ptr(EConvertError("'x' is not a number")), rcInternalError},
        {std::make_exception_ptr(EInvalidGraphic("bad records")), rcInternalError},
        {std::make_exception_ptr(Failure("other")), rcInternalError},
        {std::make_exception_ptr(std::runtime_error("io")), rcInternalError},
        {std::make_exception_ptr(SomethingElse()), rcInternalError},
        {std::make_exception_ptr(42), rcInternalError},
        {nullptr, rcInternalError},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ExceptionToResult(cases[i].failure), cases[i].result) << "case " << i;
    }
}

TEST(ExceptionToResult, ReadsTheFailureBeingHandled) {
    try {
        throw EReadError("short");
    } catch (...) {
        EXPECT_EQ(ExceptionToResult(), rcFileError);
    }
}

TEST(Lifecycle, TheBodyLoadsAtStartupAndSavesAtShutdown) {
    auto& registry = platform::portable::Registry();
    platform::portable::ClearRegistry();
    registry["System"]["Version"] = {true, "104"};
    registry["System"]["JWC_W"] = {true, "640"};
    ASSERT_TRUE(PluginStartup());
    TInSPIBody* first = PluginBody;
    EXPECT_EQ(PluginSettings.JWC_W, 640);
    EXPECT_EQ(PluginBody->FSettingsVersion, 104);
    EXPECT_EQ(PluginBody->FFileKind, fkNone);
    EXPECT_EQ(PluginBody->FProgressCallback, nullptr);
    EXPECT_FALSE(PluginBody->FAborted);

    ASSERT_TRUE(PluginStartup());
    EXPECT_EQ(PluginBody, first) << "a second start-up replaced the body";

    PluginSettings.JWC_W = 700;  // as the dialog would
    EXPECT_EQ(registry["System"]["JWC_W"].text, "640") << "saved before unload";
    PluginShutdown();
    EXPECT_EQ(PluginBody, nullptr);
    EXPECT_EQ(registry["System"]["JWC_W"].text, "700");
    PluginShutdown();  // nothing left to destroy
    PluginSettings = DefaultSettings;
    platform::portable::ClearRegistry();
}

TEST(Lifecycle, AnUnavailableKeyStillGivesAWorkingBody) {
    platform::portable::ClearRegistry();
    platform::portable::SetSettingsKeyUnavailable(true);
    PluginSettings.JWC_W = 1;
    ASSERT_TRUE(PluginStartup());
    EXPECT_EQ(PluginSettings.JWC_W, DefaultSettings.JWC_W);
    PluginShutdown();
    platform::portable::SetSettingsKeyUnavailable(false);
    EXPECT_TRUE(platform::portable::Registry().empty());
    PluginSettings = DefaultSettings;
}

}  // namespace
}  // namespace pallowin
