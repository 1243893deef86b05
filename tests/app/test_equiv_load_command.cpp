// The document's Equivalent Loads opener runs the equivalent concentrated
// loads dialog through the program's own hook.
#include <gtest/gtest.h>

#include "KorbelTestSupport.h"
#include "app/DialogFactories.h"
#include "app/KorbelDoc.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgEquivLoad.h"

using namespace korbeltest;

namespace {

class EquivalentLoadsCommand : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        InputDialogFactories() = DocDialogFactories{};
        RegisterProgramDialogs();
    }
    void TearDown() override {
        InputDialogFactories() = DocDialogFactories{};
        ui::HeadlessTest::TearDown();
    }
};

TEST_F(EquivalentLoadsCommand, OkStoresThePatternAndMarksTheDocument) {
    CKorbelDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    RecordingView view;
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "Equivalent Concentrated Loads ");
            d.UserType(DlgEquivLoad::IDC_R1_POINTS, "3");
            d.UserClick(ui::IDOK);
        },
        DlgEquivLoad::kTemplateId);
    doc.ShowEquivalentLoadsDialog(view);
    EXPECT_EQ(doc.GetModelData()->GetEquivLoadPointCount(), 3);
    EXPECT_TRUE(doc.IsModified());

    // Unchanged (as after a save): the document stays as it was.
    doc.SetModifiedFlag(false);
    doc.GetModelData()->ClearChanged();
    driver.ExpectModal([](ui::Dialog& d) { d.UserClick(ui::IDOK); }, DlgEquivLoad::kTemplateId);
    doc.ShowEquivalentLoadsDialog(view);
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
