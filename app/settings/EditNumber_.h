// Numbers typed into the value edits of the settings dialogs. The edits show
// "." as their decimal separator and turn a typed "," into "."; a text pasted or
// stored with either separator reads the same in any locale.
#pragma once

#include <cstddef>
#include <string>

inline constexpr char kKeyBackspace = 8;
inline constexpr char kKeyEnter = 13;

// The key the edit takes (a "," becomes "."), or 0 when it is refused: only
// Backspace, Enter, digits and one decimal separator; with AllowMinus also one
// "-" typed at the start (Caret 0).
char FilterNumberKey(const std::string& Text, std::size_t Caret, char Key, bool AllowMinus);

// Text as a number with "." or "," as decimal separator; false when it is none.
bool ParseEditNumber(const std::string& Text, double& Out);
// The same, raising EConvertError for a text that is no number.
double EditNumber(const std::string& Text);

// X with Decimals decimals and "." as separator, as the edits show values.
std::string EditText(int Decimals, double X);
