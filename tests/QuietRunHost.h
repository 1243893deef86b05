#pragma once
// The analysis run for tests: every question answered Yes, nothing shown, the
// messages kept for the failure text of an assertion.

#include <string>

#include "app/run/AnalysisRun.h"

class QuietRunHost : public RunHost {
public:
    bool Ask(const std::string&) override { return true; }
    void Progress(const std::string&, const std::string&, int) override {}
    void Message(const std::string& text, RunIcon) override { said += text + "\n"; }
    void OpenTextFile(const std::string&) override {}
    std::string said;
};
