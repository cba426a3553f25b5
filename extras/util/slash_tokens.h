#pragma once
// Slash tokens: a backslash and one character standing for a byte, as C literals write them.
// \" \\ \n \r \t and \x with two hexadecimal digits.

#include <string>

namespace quillon {

// The text up to its terminating zero with every slash token replaced by its byte, in `out`.
// After "\x" a first character that is not a hexadecimal digit gives byte 0, a single digit
// followed by a non-digit gives that digit's value, and both characters are consumed either
// way; a text that ends within those two characters ends the result there. False at an
// unidentified token: `token` is the character after its backslash (0 at the text's end) and
// `out` holds what came before it.
bool UnescapeSlashTokens(const char* text, std::string& out, char& token);

// What a program prints for an unidentified token before it waits for a key press
// (WaitForKeyPress) and ends with exit code 1: "\nCannot identify slash token: \<c> !!!\n".
std::string DescribeUnidentifiedToken(char token);

// The text with tab, line feed, carriage return, double quote and backslash written as slash
// tokens; every other byte is kept. Never produces "\x" tokens.
std::string EscapeSlashTokens(const char* text);

}  // namespace quillon
