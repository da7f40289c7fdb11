#pragma once
// Text routines over the library's fixed-length texts: positions count from
// 1, only the blank is trimmed, words are separated by blanks only.
#include <string>
#include <string_view>

// Letters "A".."Z" to small letters in the whole buffer; other bytes stay.
void ilowercase(std::string& text);
// Letters "a".."z" to capitals in the whole buffer; other bytes stay.
void iuppercase(std::string& text);
// First: first non-blank; last: the end of the first word (the text's length
// when no blank follows). 0 and 0 for a blank or empty text.
void ilocatestring(std::string_view text, int& first, int& last);
// Position of the first character that is neither blank nor NUL; 0 if none.
int ilocatechar(std::string_view text);
// Moves the significant part left ("L"), right ("R") or to the centre
// (anything else); the letters count in either case, "L" before "R".
void ijustifystring(std::string& text, std::string_view option);
// Position of the first (or with back, the last) occurrence of sub in text,
// letters compared without case; sub counts with its whole length.
int indexnocase(std::string_view text, std::string_view sub, bool back = false);
// Code 0..255 of the first character; 0 for an empty text.
int yyichar(std::string_view text);

// Take the first word off the line (its positions become blanks) and deliver
// it as a word or a number; conversion errors are those of the converters.
void inextstring(std::string& line, std::string& word);
void inextinteger(std::string& line, int& value);
void inextreal(std::string& line, float& value);
void inextdouble(std::string& line, double& value);

// NUL-terminated texts of the platform side.
// Characters up to and including the last non-blank one.
int yystrlen(const char* text);
// Characters before the first blank or NUL.
int yysubstrlen(const char* text);
// Copy a NUL-terminated source into a fixed-length destination of length
// characters, blank-padded or cut.
void yystrctof(const char* source, char* dest, int length);
void yystrctof(const char* source, std::string& dest);
