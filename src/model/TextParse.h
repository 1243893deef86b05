#pragma once
// Conversions of typed or stored texts into numbers: node lists with ranges,
// set member ranges, comma lists, edit-field checks and spring-curve files.

#include <string>
#include <vector>

// Integer value of a text read the way C reads a decimal integer: leading white
// space, an optional sign, then digits up to the first other character; 0 when
// no digit follows. Values beyond the int range are clamped to it.
int ParseInt(const std::string& text);

// Node list "1,5:20:5,7": items separated by ",", an item is a number or a
// range first:last:step. A range that does not lead from first towards last by
// its step (step 0, wrong direction, equal ends, a missing step) ends the list:
// the result holds what was read before it.
std::vector<int> ParseIdList(const std::string& text);
// The same, with the numbers of a range limited to at most `limit`: a range
// stops at the limit (numbers beyond it name nothing for the caller), so a
// range typed far too long costs nothing. Single items are kept as they are.
std::vector<int> ParseIdList(const std::string& text, int limit);

// Member range "first;last;increment;side". Outputs start as 0, 0, 1, 1; a text
// without ";" sets first and last to its value; fields the text does not reach
// keep their start values.
void ParseRangeText(const std::string& text, int& first, int& last, int& increment, int& side);

// Range "first;last;increment". Outputs start as 0, 0, 1; a text without ";"
// sets first and last to its value; with three fields a last of 0 becomes first
// and an increment of 0 becomes 1.
void ParseRangeText2(const std::string& text, int& first, int& last, int& increment);

// Cuts the text at every "," and stores the pieces, untrimmed, in entries 0, 1,
// ... of `pieces`. The vector is grown when it holds fewer entries than pieces;
// entries beyond the pieces are left as they are.
void SplitList(const std::string& text, std::vector<std::string>& pieces);

// Number of items of a comma list: one more than the number of commas (an empty
// text counts as one item).
int CountListItems(const std::string& text);

// True for a text made of an optional leading "-", digits and at most one ".";
// a lone "-" or "." counts. False for an empty text, exponents, "+" and blanks.
bool IsNumberText(const std::string& text);

// True exactly when the text is the one character `c`.
bool IsSingleChar(const std::string& text, char c);

// Reads a spring curve: one deformation and one force per line, separated by
// white space, further words on a line ignored. Empty lines are skipped; the
// last line counts also without a line break. Appends the pairs to the two
// arrays. False when the file cannot be opened or a line does not start with two
// numbers (the pairs read before it stay appended).
bool ReadCurvePoints(const std::string& path, std::vector<double>& deformations, std::vector<double>& forces);
