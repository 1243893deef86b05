// The main frame: menu bar, the row of five toolbars (file, view, select,
// actions, results), the status bar, and the one view, which always fills
// the client area (there is one document and one view at a time).
#pragma once

#include "platform/ui/Frame.h"

class CMainFrame : public ui::Frame {
public:
    // Toolbars in row order.
    enum Bar { FileBar, ViewBar, SelectBar, ActionsBar, ResultsBar };
    static const char* const kTitle;  // "Brennix 2025.4.1"

    CMainFrame();

    // Opens maximised.
    bool LoadFrame(const std::string& title, unsigned styleBits = ui::style::Caption | ui::style::Resizable) override;
    // Toolbars and status bar; -1 when one cannot be made.
    int OnCreate() override;

    // Shows a hidden bar, hides a shown one.
    void ToggleBar(Bar bar);
    bool LargeIcons() const { return largeIcons_ != 0; }

private:
    unsigned char largeIcons_ = 1;
};
