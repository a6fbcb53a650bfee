// Each case gets a fresh body over an empty in-memory registry, and the
// settings it may have changed are put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include "platform/PortableControl.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"

namespace pallowin {

class BodyTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::portable::ClearRegistry();
        platform::portable::SetSettingsKeyUnavailable(false);
        platform::portable::SetRegistryWritesFail(false);
        ASSERT_TRUE(PluginStartup());
        body = PluginBody;
    }
    void TearDown() override {
        PluginShutdown();
        PluginSettings = DefaultSettings;
        platform::portable::ClearRegistry();
    }
    TInSPIBody* body = nullptr;
};

}  // namespace pallowin
