#pragma once
// The whole program, headless: the application started on a settings file of
// its own, the program's dialogs registered, and copies of the examples to
// open.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "KorbelTestSupport.h"
#include "app/DialogFactories.h"
#include "app/KorbelApp.h"
#include "app/KorbelDoc.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Settings.h"

namespace korbeltest {

class ProgramFixture : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        InputDialogFactories() = DocDialogFactories{};
        RegisterProgramDialogs();
        ui::Settings s(dir.File("settings"));
        s.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, "Ann");
        ASSERT_TRUE(s.Save());
        app.GetSettings().SetPath(dir.File("settings"));
        app.Run({});
        ASSERT_NE(app.FindOpenDocument(), nullptr);
    }
    void TearDown() override {
        app.ExitInstance();
        InputDialogFactories() = DocDialogFactories{};
        ui::HeadlessTest::TearDown();
    }
    // Opens a copy of an example model (under `as` when given).
    CKorbelDoc& OpenExample(const std::string& name, const std::string& as = "") {
        const std::string path = dir.File(as.empty() ? name : as);
        std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/" + name, path,
                                   std::filesystem::copy_options::overwrite_existing);
        EXPECT_NE(app.OpenDocumentFile(path), nullptr);
        return *app.FindOpenDocument();
    }
    Scratch dir;
    CKorbelApp app;
};

}  // namespace korbeltest
