#ifndef PINBALL_TEST_SETTINGS_FIXTURE_H
#define PINBALL_TEST_SETTINGS_FIXTURE_H

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "tests/support/registry_sandbox.h"

// A test with an empty settings key of its own and the store open on it, as after start-up.
class SettingsTest : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    void SetUp() override
    {
        appInstance = GetModuleHandleA(NULL);
        setSettingsBase(loadString(IDS_SETTINGS_KEY));
        ASSERT_NE(settingsBasePath, nullptr);
    }
    void TearDown() override { releaseSettings(); }
};

#endif
