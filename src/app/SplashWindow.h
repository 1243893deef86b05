// The progress window of the analysis run: a captioned popup with the
// program's picture, the product and maker lines and two lines of progress
// text. The program's other windows wait while it is up, so every
// ShowProgress paints the window and delivers its own queued messages before
// it returns. While the run offers it, a Cancel button at the bottom right
// (or the caption's close box) asks to cancel the run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

class CSplashWindow : public ui::Window {
public:
    static constexpr int kPictureWidth = 502;
    static constexpr int kPictureHeight = 327;
    static constexpr int kCloseTimer = 1;
    static constexpr int kRepaintTimer = 2;
    static constexpr int kRepaintMs = 1000;
    // The Cancel button, in window pixels.
    static constexpr ui::Rect kCancelButton{kPictureWidth - 104, kPictureHeight - 40, 88, 26};

    // A given title or subtitle replaces the stored one (an empty text clears
    // it; null keeps it); the close delay (0: no automatic close) is stored.
    // Creates the window when none exists, shows and paints it and delivers
    // its queued messages.
    static void ShowProgress(ui::Window* parent, const std::string* title, const std::string* subtitle,
                             int closeAfterMs);
    // Destroys the current window, if any, and repaints the main window.
    static void CloseSplashWindow();
    // The window shown now, or null.
    static CSplashWindow* Current();
    static const std::string& Title();
    static const std::string& Subtitle();
    // Shows (true) or hides the Cancel button; either way a request made
    // before is forgotten.
    static void OfferCancel(bool offered);
    static bool CancelOffered();
    // True once Cancel was pressed (or the window closed) while offered.
    static bool CancelAsked();
    // What Cancel does: while offered and not yet asked, notes the request
    // and shows "Cancelling..." as the subtitle.
    static void AskCancel();
    // Forgets texts, delay and fitted sizes (a fresh process, for tests).
    static void ResetState();

    ~CSplashWindow() override;

    // Places the picture's centre on the parent's (or the desktop's) centre
    // and creates the popup; false on failure.
    bool Create(ui::Window* parent);

    int OnCreate() override;
    void OnTimer(int id) override;
    void OnPaint(ui::Painter& painter) override;
    void OnPopupClick(ui::Point p) override;
    void OnPopupClose() override;
    void PostNcDestroy() override;

    const ui::Image& Picture() const { return picture_; }

    // Point size (from 8 up by 2) of the largest font of the face whose
    // widest line fits the box width and whose line height fits the box
    // height shared by the lines; with that line height. (6, 0) when even 8
    // points do not fit.
    static std::pair<int, int> FitPointSize(ui::Painter& painter, const std::string& face,
                                            const std::vector<std::string>& lines, int boxWidth, int boxHeight);
    // The font of a point size.
    static ui::Font PointFont(const std::string& face, int points);

private:
    CSplashWindow();
    // The product, maker and comments lines; compiled into the program.
    static void ReadVersionStrings();
    static ui::Image MakePicture();

    ui::Image picture_;
};
