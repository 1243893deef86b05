#pragma once
// Helpers of the program's tests: scratch folders, small model files and a
// view that records what the document asks of it.

#include <memory>
#include <string>
#include <vector>

#include "../model/test_solver_input_support.h"
#include "uibase/Hosts.h"
#include "app/KorbelDoc.h"
#include "platform/ui/Dialog.h"

namespace korbeltest {

using bridgetest::ReadAll;
using bridgetest::WriteAll;
using Scratch = bridgetest::Scratch;

// A square plate of one linear element on four nodes, with its version line.
inline std::string OnePlate(const std::string& version = "V4.1") {
    return version +
           "\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\nEND_NODE_DATA\n"
           "MATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n"
           "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\nEND_ELEMENT_DATA\nEND_DATA\n";
}

// A strip of `elements` linear elements in a row.
inline std::string Strip(int elements) {
    std::string text = "V4.1\nNODE_DATA\n";
    for (int i = 0; i <= elements; ++i) {
        text += "*\t" + std::to_string(2 * i + 1) + "\t0\t" + std::to_string(i) + "\t0\n";
        text += "*\t" + std::to_string(2 * i + 2) + "\t0\t" + std::to_string(i) + "\t1\n";
    }
    text +=
        "END_NODE_DATA\nMATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n"
        "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n";
    for (int e = 1; e <= elements; ++e)
        text += "*\t" + std::to_string(e) + "\t1\t" + std::to_string(2 * e - 1) + "\t" + std::to_string(2 * e + 1) +
                "\t" + std::to_string(2 * e + 2) + "\t" + std::to_string(2 * e) + "\n";
    return text + "END_ELEMENT_DATA\nEND_DATA\n";
}

// One result step for the four nodes of OnePlate.
inline std::string OneStep() { return bridgetest::OneResultStep(4) + "\n"; }

// A view that records the document's calls as lines ("PickTarget 1").
class RecordingView : public ViewHost {
public:
    void SetHighlightedItems(int kind, const std::string& text) override { Log("Highlight", kind, text); }
    void SetHighlightState(int kind, const std::string& text) override { Log("HighlightState", kind, text); }
    void SetPickTarget(int kind) override { Log("PickTarget", kind); }
    void RebuildScene() override { calls.push_back("Rebuild"); }
    void RepaintView() override { calls.push_back("Repaint"); }
    void OnNodalActionsClosed() override { calls.push_back("NodalClosed"); }
    void OnEdgeActionsClosed() override { calls.push_back("EdgeClosed"); }
    std::vector<std::string> calls;

private:
    void Log(const std::string& what, int kind, const std::string& text = "") {
        calls.push_back(what + " " + std::to_string(kind) + (text.empty() ? "" : " " + text));
    }
};

inline constexpr int IDD_TEST = 7001;

// A stand-in for the modeless input dialogs.
class TestDialog : public ui::Dialog {
public:
    explicit TestDialog(int kind) : ui::Dialog(IDD_TEST), kind(kind) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = IDD_TEST;
        t.caption = "Test Grid";
        t.rect = {20, 30, 100, 60};
        t.DefPushButton(ui::IDOK, "OK", {40, 40, 50, 14});
        return t;
    }
    int kind;
    int reloads = 0;
    std::string setName;
    std::vector<std::string> picks;
    ui::Rect createdAt;
};

// Factories that make TestDialogs and remember every one made.
struct Made {
    std::vector<TestDialog*> dialogs;
    ModelessFactory Factory() {
        return [this](const DocDialogRequest& request) {
            auto dialog = std::make_unique<TestDialog>(request.kind);
            TestDialog* d = dialog.get();
            d->setName = request.setName;
            dialogs.push_back(d);
            DocDialog made;
            made.window = std::move(dialog);
            made.create = [d] {
                const bool ok = d->Create();
                d->createdAt = d->GetWindowRect();
                return ok;
            };
            made.retarget = [d](const DocDialogRequest& q) {
                d->kind = q.kind;
                d->setName = q.setName;
                ++d->reloads;
            };
            made.insertPickedName = [d](const std::string& text) { d->picks.push_back(text); };
            return made;
        };
    }
};

}  // namespace korbeltest
