// The single-byte Windows-1252 repertoire of the library's text, to and from UTF-8.
#pragma once

#include <cstdint>
#include <string>

// The byte of code point cp, or -1 when cp has no single-byte code. C0 and C1 control
// characters (other than through an escape) have none.
int Cp1252FromCodePoint(uint32_t cp);
// The code point of byte b, or 0 for the five bytes the code page leaves undefined
// and the control characters.
uint32_t Cp1252ToCodePoint(uint8_t b);
// Appends the UTF-8 form of cp.
void AppendUtf8(std::string* out, uint32_t cp);
// Decodes one UTF-8 sequence at s[*at]; advances *at. Returns -1 for a malformed one.
int64_t DecodeUtf8(const std::string& s, size_t* at);
