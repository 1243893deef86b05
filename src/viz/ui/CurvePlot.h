// The chart of one series of points: a polyline on a ruled grid with ticks,
// tick labels, a title and two axis captions. It is the Drawable of a custom
// control; the owner hands over copies of the points, flags and texts, sets
// colour, width and mode, and invalidates the control. Every paint lays the
// chart out anew for the painter's size; nothing is cached between paints.
//
// Two modes:
// - 0, the full chart: a 20 by 10 grid inside fixed margins (140 left, 40
//   right, 80 top and bottom), eleven tick labels per axis, title, captions,
//   optional circular markers and a dashed variant of the line;
// - any other value, the compact chart: a 10 by 10 grid with margins of 40 on
//   the left and 20 at the bottom, labels only at the axis ends and at zero,
//   zero axis lines, no markers and no captions.
//
// A series whose scale has no extent (the x range of the first and last point
// is 0, or, in the compact chart, every y is equal) draws the grid, ticks and
// labels without the line. Pixel positions are kept within +-1e6 before they
// become integers.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Painter.h"

class CCurvePlot : public ui::Drawable {
public:
    CCurvePlot() = default;

    // Copies the first count points (at most the length of each array), the
    // grid flags, the marker flag and the three texts. Does not repaint.
    void SetCurveData(std::vector<double> x, std::vector<double> y, int count, int horizontalGrid, int verticalGrid,
                      int marker, std::string title, std::string xCaption, std::string yCaption);
    void SetPlotMode(int mode) { m_plotMode = mode; }
    void SetLineColor(ui::Color color) { m_lineColor = color; }
    void SetLineWidth(int width) { m_lineWidth = width; }

    // Tick-label text of a value: style 0 for the long labels, 1 for the
    // short ones; any other style, or a value that is not a number, gives "".
    static std::string FormatTickLabel(double value, int style);
    // Largest (smallest) of the first count entries; -3e100 (3e100) for none.
    static double SeriesMax(const std::vector<double>& values, int count);
    static double SeriesMin(const std::vector<double>& values, int count);

    // A 9 x 9 marker centred on (x, y): kind 1 a rectangle with the current
    // pen and brush, kind 2 a circle filled with the line colour.
    void DrawMarker(int kind, int x, int y, ui::Painter& p) const;

    // ui::Drawable: the erase fills light grey; the paint fills white and
    // draws the chart of the plot mode.
    bool EraseBackground(ui::Painter& p) override;
    void Draw(ui::Painter& p) override;

    int PlotMode() const { return m_plotMode; }
    ui::Color LineColor() const { return m_lineColor; }
    int LineWidth() const { return m_lineWidth; }
    int PointCount() const { return m_count; }
    const std::vector<double>& XValues() const { return m_x; }
    const std::vector<double>& YValues() const { return m_y; }
    const std::string& Title() const { return m_title; }
    const std::string& XCaption() const { return m_xCaption; }
    const std::string& YCaption() const { return m_yCaption; }
    int HorizontalGrid() const { return m_horizontalGrid; }
    int VerticalGrid() const { return m_verticalGrid; }
    int Marker() const { return m_marker; }

    // Non-zero: the full chart draws the line solid in the line colour and
    // width; 0: dashed black of width 1 (the markers keep the line colour).
    int m_solidLine = 1;

private:
    void DrawFullChart(ui::Painter& p) const;
    void DrawCompactChart(ui::Painter& p) const;

    std::vector<double> m_x;
    std::vector<double> m_y;
    int m_count = 0;
    int m_horizontalGrid = 1;
    int m_verticalGrid = 1;
    int m_marker = 1;
    int m_plotMode = 0;
    // Both owners set red and 2 before handing over data; these are the same.
    ui::Color m_lineColor = ui::Rgb(255, 0, 0);
    int m_lineWidth = 2;
    std::string m_title;
    std::string m_xCaption;
    std::string m_yCaption;
};
