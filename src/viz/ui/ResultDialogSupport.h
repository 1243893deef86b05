#pragma once
// What the result dialogs share: reading numbers from their fields, the
// captions of the result columns, the step lists and the node spin.

#include <string>

class ModelData;
class NodeTable;

namespace ui {
class ComboBox;
}

namespace resultdlg {

// atof of the text; a text that reads as infinite or not a number reads 0.
double ReadDouble(const std::string& text);
// atoi of the text, held within the int range.
int ReadInt(const std::string& text);
// "%d" of the value.
std::string IntText(int value);

// True while a field still shows the text the dialog wrote for `value`
// (format(value)): the field then stands for the exact value, not for the
// rounded number its text reads as.
bool ShowsOwnText(const std::string& text, double value, std::string (*format)(double));

// A result value as a field shows it: a zero of either sign shows as 0,
// never as -0.
inline double ShownValue(double v) { return v == 0.0 ? 0.0 : v; }

// Caption of the result column (from 0); empty outside the model's captions.
std::string ResultColumnCaption(const ModelData& model, int column);

// Fills the list with "%d" of every step number; returns the first step
// number, 0 when there are no steps.
int FillStepList(ui::ComboBox& list, const ModelData& model);
// The number of the model's last step, 0 when there are no steps.
int LastStepNumber(const ModelData& model);

// Node number after one press of the node spin from `node`: the row of the
// node, or the nearest row the binary search meets, moved one row on (the up
// arrow's negative change) or back, kept within the table. `node` itself
// when the table has no rows.
int StepNodeNumber(const NodeTable& nodes, int node, int delta);

// Spin of a positive scale value (v > 0) by one digit of its leading decade:
// up 1, 2, ..., 9, 10, 20 ...; down 1, 0.9, 0.8 ... `offset` is added to the
// quotient before truncation.
double StepLeadingDigit(double magnitude, bool grow, double offset);

}  // namespace resultdlg
