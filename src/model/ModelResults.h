#pragma once
// Result lookups as free functions over the model, for callers that pass
// the model around instead of calling its members. Row = node row, step =
// the step number as read from the step results.

class ModelData;

double GetResultValue(const ModelData& model, int column, int row, int step);
// Minus column 0: the deflection as the deformed shape draws it.
double GetResultDispX(const ModelData& model, int row, int step);
double GetResultColumn1(const ModelData& model, int row, int step);
double GetResultColumn2(const ModelData& model, int row, int step);
double GetResultColumn3(const ModelData& model, int row, int step);
double GetResultColumn4(const ModelData& model, int row, int step);
double GetResultColumn5(const ModelData& model, int row, int step);
