#pragma once
// The library's error texts: library error numbers, operating-system codes
// and compression statuses turned into English messages.
#include <string>
#include <string_view>

// Kinds of number for winfoerrormessage.
constexpr int ErrorTextLibrary = 1;       // library ErrorCode
constexpr int ErrorTextOs = 2;            // operating-system error code
constexpr int ErrorTextCompression = 3;   // zlib status

// Fill text (blank-padded or cut to its size) with the message of number.
// Numbers without a message give a blank text; a kind other than 1, 2 or 3
// leaves text as it is.
void winfoerrormessage(int number, std::string& text, int kind = ErrorTextLibrary);

// The library's own text of an error number; empty when it has none.
std::string_view yyerrortext(int number);

// The compression library's status text; empty when it has none (0 included).
std::string_view yyziptext(int status);

// The system's English message for an operating-system error code (codes
// numbered as on the platform the library was designed for); empty when the
// system has no message for it.
std::string yyostext(int code);
