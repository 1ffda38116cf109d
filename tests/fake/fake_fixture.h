#pragma once
// Resets the fake and the plugin's state around every test.

#include "plugin/plugin_state.h"
#include "tests/fake/fake_platform.h"

#include <gtest/gtest.h>

class FakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFake();
        g_PluginState = PluginState();
    }
    void TearDown() override {
        ResetFake();
        g_PluginState = PluginState();
    }
};
