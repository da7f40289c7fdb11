#pragma once
// Numbers to texts and back. Every conversion reads and writes the point as
// the decimal character, whatever the user's locale. The public conversions
// report bad input through yyerror; the field routines (yyst2*, yyform*)
// serve dialog and grid fields and leave neither a report nor a last error.
#include <cstdint>
#include <string>
#include <string_view>

// Public conversions; a failing text-to-number conversion delivers 0.
void IStringToInteger(std::string_view text, int& value);
void IStringToReal(std::string_view text, float& value);
void istringtodouble(std::string_view text, double& value);   // reports as "IStringToReal"
void IntegerToString(int value, std::string& text, std::string_view format);
void IRealToString(float value, std::string& text, std::string_view format);
void IDoubleToString(double value, std::string& text, std::string_view format);

// Silent text to number; the text counts up to its first NUL or, without
// one, up to its trimmed length.
void yyst2dbl(double& value, std::string_view text);
void yyst2rea(float& value, std::string_view text);
void yyst2int(int& value, std::string_view text);
void yyst2dblcheck(double& value, int& valid, std::string_view text);

// Field texts from numbers: left-justified and NUL-terminated when there is
// room. yydbl2st and yyrea2st leave the write status in the I/O status.
void yydbl2st(double value, std::string& text, std::string_view format);
void yyrea2st(float value, std::string& text, std::string_view format);
void yyint2st(int value, std::string& text);

// Reformat a field text in place (silent); a text that does not convert
// becomes the formatted 0.
void yyformd(std::string& text, std::string_view format);
void yyformr(std::string& text, std::string_view format);
void yyformi(std::string& text);

// The user locale's decimal character (also kept in wDecimal).
void yygetdecimal(char& decimal);
// bDecimal := 1 when flag is 1, else 0.
void yydecimal(std::uint8_t flag);
// 2 when the system gradient fill is available (pGradientFill), else 1.
void yygradfilltype(int& type);

struct ConversionState {
    char wDecimal = '.';
    // Set, tells the numeric dialog fields to accept the locale decimal
    // character; nothing in the system sets it.
    std::uint8_t bDecimal = 0;
    // Non-zero once the root window found the system gradient-fill entry;
    // written by the root window's opening.
    std::int32_t pGradientFill = 0;
};
extern ConversionState conversion_state;

void reset_conversion_state();
