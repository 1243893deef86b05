// Test fixture for code on the layer (include from GoogleTest programs only):
// installs a headless driver whose failures fail the test, and checks at the
// end that every script was used.
#pragma once

#include <gtest/gtest.h>

#include "platform/ui/Headless.h"

namespace ui {

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.onFailure = [](const std::string& what) { ADD_FAILURE() << "headless: " << what; };
        driver.Install();
    }
    void TearDown() override {
        for (const std::string& s : driver.TakeUnusedScripts()) ADD_FAILURE() << "unused script: " << s;
    }
    Headless driver;
};

}  // namespace ui
