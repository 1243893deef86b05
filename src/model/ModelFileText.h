#pragma once
// Low-level text reading and writing shared by the model keyword file and
// its table blocks. Readers work on a std::istream in the manner of
// formatted stream extraction: once a read fails the stream stays failed and
// every later read delivers nothing.

#include <array>
#include <istream>
#include <string>

namespace modelfile {

// Longest word the keyword file may hold (keywords, terminators, names and
// targets read as words). A longer word fails the stream.
inline constexpr std::size_t kMaxWordLength = 255;
// A set name: its member list ends with "END_" and the name, also one word.
inline constexpr std::size_t kMaxSetNameLength = kMaxWordLength - 4;

// Why a text cannot be stored as one word of at most `limit` characters (a
// blank or line break in it, or too long), as a rule to show the user; empty
// when it can.
std::string WordRule(const std::string& text, std::size_t limit = kMaxWordLength);

// Real value in the file's notation, independent of the locale: printf's
// "%g" (six significant digits, fixed or exponent form) when that reads back
// to the same value, else the fewest significant digits (up to 17) that do.
std::string FormatReal(double value);

// Reads the next white-space separated word. Fails (and fails the stream)
// at the end of the input or for a word longer than kMaxWordLength.
bool ReadWord(std::istream& in, std::string& word);

// Reads the next word and converts it as a whole to a 32-bit integer; a word
// that is not an integer, or out of range, fails the stream.
bool ReadInt(std::istream& in, int& value);

// Reads the next word and converts it as a whole to a real; a word that is
// not a number fails the stream.
bool ReadReal(std::istream& in, double& value);

// The last word that a number read refused: the word, what was expected
// ("an integer", "a number", "a finite number") and the stream position
// just after the word. Kept per thread until cleared; `end` is -1 when no
// word was refused since.
struct RefusedWord {
    std::string word;
    std::string expected;
    long long end = -1;
};
const RefusedWord& LastRefusedWord();
void ClearRefusedWord();
// Moves the refused word's position by `offset` (a word refused in a copy
// of one line, placed back at the line's start).
void ShiftRefusedWord(long long offset);

// Reads N reals in a row; false (stream failed) when one is missing.
template <std::size_t N>
bool ReadReals(std::istream& in, std::array<double, N>& values) {
    for (double& v : values)
        if (!ReadReal(in, v)) return false;
    return true;
}

// Reads the rest of the current line (possibly empty) without its line end;
// a carriage return before the line feed is dropped. Fails at the end of
// the input when nothing is left.
bool ReadLine(std::istream& in, std::string& line);

// Drops the rest of the current line, line feed included.
void SkipRestOfLine(std::istream& in);

// Parses a whole text as an integer or a real (white space around it
// allowed); false when the text is not a number.
bool ParseIntText(const std::string& text, int& value);
bool ParseRealText(const std::string& text, double& value);

// Turns every CR LF pair into a single LF.
std::string NormaliseLineEnds(const std::string& text);

}  // namespace modelfile
