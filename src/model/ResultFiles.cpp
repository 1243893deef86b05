// Reading the solver's step results (".sds") and section-cut results
// (".cut") into the model, and the lookups of result values.
//
// Both files are read as streams of blank-separated words. A file that does
// not fit the model (an unknown column layout, a block that does not open
// with STEP, node rows that do not match the model's node count, a value
// that is not a number) is refused as a whole: no step of it is kept. A file
// that merely ends early keeps what was read, with the results flag off.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "model/ModelData.h"
#include "model/ModelFile.h"
#include "model/ModelResults.h"
#include "model/ModelFileText.h"

namespace {

const char* const kCaptions[26] = {
    "Disp. X",    "Disp. Y",    "Disp. Z",      "Rot. X",      "Rot. Y",     "Rot. Z",     "Force X",
    "Force Y",    "Force Z",    "Moment X",     "Moment Y",    "Moment Z",   "My",         "Mz",
    "Myz",        "Qy",         "Qz",           "sig_yy_top",  "sig_zz_top", "sig_yz_top", "sig_yy_bot",
    "sig_zz_bot", "sig_yz_bot", "soil_press_q", "Rx_soil_sti", "Rx_NL"};

constexpr int kColumns = 26;

// Word reader over a whole file: a read fails at the end of the input.
class Words {
public:
    explicit Words(std::istream& in) : in_(in) {}
    bool Next(std::string& word) { return static_cast<bool>(in_ >> word); }
    bool Int(int& value) {
        std::string w;
        return Next(w) && modelfile::ParseIntText(w, value);
    }
    bool Real(double& value);

private:
    std::istream& in_;
};

// A real as the solver writes it; an exponent of three digits loses its
// letter in the solver's fixed-width fields ("0.123-100"), which is read as
// well.
bool ParseValue(const std::string& word, double& value) {
    if (modelfile::ParseRealText(word, value)) return true;
    const std::size_t sign = word.find_last_of("+-");
    if (sign == std::string::npos || sign == 0) return false;
    const char before = word[sign - 1];
    if (before == 'e' || before == 'E' || before == 'd' || before == 'D') return false;
    return modelfile::ParseRealText(word.substr(0, sign) + "E" + word.substr(sign), value);
}

bool Words::Real(double& value) {
    std::string w;
    return Next(w) && ParseValue(w, value);
}

// Result columns of one file row, by the file's column count.
std::vector<int> LayoutColumns(int fileColumns) {
    std::vector<int> columns;
    if (fileColumns == 17) {
        for (int c = 0; c <= 5; ++c) columns.push_back(c);
        for (int c = 12; c <= 22; ++c) columns.push_back(c);
    } else if (fileColumns == 23 || fileColumns == 26) {
        for (int c = 0; c < fileColumns; ++c) columns.push_back(c);
    }
    return columns;
}

bool IsBlockWord(const std::string& w) { return w == "STEP" || w == "END_STEP_DATA"; }

enum class StepRead { Ok, Truncated, Refused };

// One step block after its opening word: the step number, then per model
// node the node number and the values of the layout. Rows the file does not
// reach keep the working row's values, so the step always has one row per
// node.
StepRead ReadStepBlock(Words& words, ResultStep& step, const std::string& opening, int rows,
                       const std::vector<int>& columns) {
    step.columnCount = kColumns;
    step.rowCount = rows;
    int number = 0;
    std::string word;
    if (!words.Next(word)) return StepRead::Truncated;
    if (!modelfile::ParseIntText(word, number)) return StepRead::Refused;
    step.stepNumber = number;
    char label[64];
    std::snprintf(label, sizeof label, "%s%4d", opening.c_str(), number);
    step.label = label;

    std::vector<double> working(kColumns, 0.0);
    step.rows.assign(static_cast<std::size_t>(rows), working);
    // From the row where the file ends, every row carries the working values
    // as far as they were read.
    auto truncated = [&](int r) {
        for (int q = r; q < rows; ++q) step.rows[static_cast<std::size_t>(q)] = working;
        return StepRead::Truncated;
    };
    for (int r = 0; r < rows; ++r) {
        if (!words.Next(word)) return truncated(r);
        int node = 0;
        // A block word where a node row should start: fewer rows than nodes.
        if (IsBlockWord(word) || !modelfile::ParseIntText(word, node)) return StepRead::Refused;
        for (int c : columns) {
            if (!words.Next(word)) return truncated(r);
            double v = 0.0;
            if (!ParseValue(word, v)) return StepRead::Refused;
            working[static_cast<std::size_t>(c)] = v;
        }
        step.rows[static_cast<std::size_t>(r)] = working;
    }
    return StepRead::Ok;
}

}  // namespace

// ---------------------------------------------------------------------------
// Step results

void ModelData::ResetResultsState() {
    delete resultSteps;
    resultSteps = nullptr;
    stepCount = 0;
    resultsFlag = 0;
}

int ModelData::ReadResultsFile(const std::string& path) {
    ResetResultsState();
    if (RegularFileSize(path) < 0) return 1;
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) return 1;
    Words words(file);

    std::string word;
    int fileColumns = 0;
    const bool header = words.Next(word) && words.Int(fileColumns);

    resultColumnCount = kColumns;
    resultGroupCount = 5;
    resultGroupStart = {0, 6, 12, 17, 23};
    resultGroupSize = {6, 6, 5, 6, 1};
    if (!header) return 1;
    resultCaptions.assign(std::begin(kCaptions), std::end(kCaptions));

    const std::vector<int> columns = LayoutColumns(fileColumns);
    if (columns.empty()) return 1;  // no known layout
    for (int c = 0; c < fileColumns; ++c)
        if (!words.Next(word)) return 1;

    if (!words.Next(word) || !IsBlockWord(word)) return 2;

    const int rows = GetNodeCount();
    ResultStep* last = nullptr;
    auto refuse = [this](int status) {
        ResetResultsState();
        return status;
    };
    while (word != "END_STEP_DATA") {
        ++stepCount;
        auto* step = new ResultStep;
        if (last)
            last->next = step;
        else
            resultSteps = step;
        last = step;
        const StepRead read = ReadStepBlock(words, *step, word, rows, columns);
        if (read == StepRead::Refused) return refuse(3);
        if (read == StepRead::Truncated) return 4;
        if (!words.Next(word)) return 4;
        if (!IsBlockWord(word)) return refuse(4);
    }
    resultsFlag = 1;
    return 0;
}

double ModelData::GetResultValue(int column, int row, int step) const {
    for (const ResultStep* s = resultSteps; s; s = s->next) {
        if (s->stepNumber != step) continue;
        if (row < 0 || row >= static_cast<int>(s->rows.size())) return 0.0;
        const std::vector<double>& values = s->rows[static_cast<std::size_t>(row)];
        if (column < 0 || column >= static_cast<int>(values.size())) return 0.0;
        return values[static_cast<std::size_t>(column)];
    }
    return 0.0;
}

double ModelData::GetDispX(int row, int step) const { return GetResultValue(0, row, step); }
double ModelData::GetDispY(int row, int step) const { return GetResultValue(1, row, step); }
double ModelData::GetDispZ(int row, int step) const { return GetResultValue(2, row, step); }
double ModelData::GetRotX(int row, int step) const { return GetResultValue(3, row, step); }
double ModelData::GetRotY(int row, int step) const { return GetResultValue(4, row, step); }
double ModelData::GetRotZ(int row, int step) const { return GetResultValue(5, row, step); }

double ModelData::GetReaction(int k, int row, int step) const {
    return k >= 1 && k <= 6 ? GetResultValue(k + 5, row, step) : 0.0;
}

double ModelData::GetPlateForce(int k, int row, int step) const {
    return k >= 1 && k <= 5 ? GetResultValue(k + 11, row, step) : 0.0;
}

double ModelData::GetPlateStress(int k, int row, int step) const {
    return k >= 1 && k <= 6 ? GetResultValue(k + 16, row, step) : 0.0;
}

double ModelData::GetSoilReaction(int k, int row, int step) const {
    return k >= 1 && k <= 3 ? GetResultValue(k + 22, row, step) : 0.0;
}

void ModelData::GetStepNumbers(int* out) const {
    if (!out) return;
    int i = 0;
    for (const ResultStep* s = resultSteps; s; s = s->next) out[i++] = s->stepNumber;
}

double GetResultValue(const ModelData& model, int column, int row, int step) {
    return model.GetResultValue(column, row, step);
}

double GetResultDispX(const ModelData& model, int row, int step) { return model.GetDispX(row, step); }
double GetResultColumn1(const ModelData& model, int row, int step) { return model.GetResultValue(1, row, step); }
double GetResultColumn2(const ModelData& model, int row, int step) { return model.GetResultValue(2, row, step); }
double GetResultColumn3(const ModelData& model, int row, int step) { return model.GetResultValue(3, row, step); }
double GetResultColumn4(const ModelData& model, int row, int step) { return model.GetResultValue(4, row, step); }
double GetResultColumn5(const ModelData& model, int row, int step) { return model.GetResultValue(5, row, step); }

// ---------------------------------------------------------------------------
// Section-cut results

int ModelData::ReadCutLineResults(const std::string& path) {
    auto fail = [this]() {
        cutLineCount = cutColumnCount = cutPointTotal = 0;
        cutPointsPerLine.clear();
        cutColumnNames.clear();
        cutRows.clear();
        return 1;
    };
    const long long size = RegularFileSize(path);
    if (size < 0) return 1;
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) return 1;
    Words words(file);

    int lines = 0, points = 0, columns = 0;
    if (!words.Int(lines) || !words.Int(points) || !words.Int(columns)) return fail();
    // Every count has to be possible for a file of this size: each line
    // block has its count word and each column its name.
    if (lines < 0 || points < 0 || columns < 0 || lines > size || columns > size || points > 10000000) return fail();
    if (static_cast<long long>(points) * (columns + 1) > 50000000LL) return fail();

    std::vector<std::string> names(static_cast<std::size_t>(columns));
    for (std::string& n : names)
        if (!words.Next(n)) return fail();

    std::vector<int> perLine(static_cast<std::size_t>(lines), 0);
    std::vector<std::vector<double>> rows(static_cast<std::size_t>(points),
                                          std::vector<double>(static_cast<std::size_t>(columns) + 1, 0.0));
    long long used = 0;
    for (int l = 0; l < lines; ++l) {
        std::string word;
        // Lines without a block of their own (the file ends) get no points.
        if (!words.Next(word)) break;
        int count = 0;
        if (!modelfile::ParseIntText(word, count) || count < 0 || used + count > points) return fail();
        perLine[static_cast<std::size_t>(l)] = count;
        for (int p = 0; p < count; ++p) {
            std::vector<double>& row = rows[static_cast<std::size_t>(used + p)];
            for (double& v : row)
                if (!words.Real(v)) return fail();
        }
        used += count;
    }

    cutLineCount = lines;
    cutColumnCount = columns;
    cutPointTotal = points;
    cutPointsPerLine = std::move(perLine);
    cutColumnNames = std::move(names);
    cutRows = std::move(rows);
    return 0;
}
