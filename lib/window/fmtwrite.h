#pragma once
// The number writer behind the library's number-to-text routines: one edit
// descriptor in parentheses ("(I11)", "(I2.2)", "(F15.6)", "(E12.4)",
// "(1PE12.4)", "(G15.5E2)"), written right-justified into a field of w
// characters at the start of the text, the rest of the text blank. A value
// that does not fit its field is written as w asterisks. Decimal digits are
// rounded to nearest, halves away from zero, from the exact binary value.
#include <cstdint>
#include <string>
#include <string_view>

// Statuses of a write, as the run time reports them; 0 is success.
constexpr int FormatWriteOk = 0;
constexpr int FormatWriteTypeMismatch = 61;   // descriptor does not suit the value
constexpr int FormatWriteSyntax = 62;         // not a format of one edit descriptor
constexpr int FormatWriteOverflow = 66;       // field longer than the text

// Write an integer (I, or G acting as I) or a real (F, E, G). On failure
// the text is left unchanged and the status says why.
int yyfmtwriteint(std::int64_t value, std::string& text, std::string_view format);
int yyfmtwritereal(double value, std::string& text, std::string_view format);
