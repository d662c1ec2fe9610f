// Text helpers for the program's 8-bit code-page text (registry, file names, list rows)
// and the few boundaries where a library speaks UTF-8 or UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnock {

// Conversions between the ANSI code page and UTF-16 / UTF-8. Invalid input converts
// as the system does (replacement characters); never throws.
std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);
std::string Utf8FromAnsi(std::string_view text);
std::string AnsiFromUtf8(std::string_view text);

// Copies at most capacity - 1 bytes and a terminator, cutting at a character boundary
// so that no double-byte character is split. capacity 0 writes nothing.
void CopyBounded(char* destination, std::size_t capacity, std::string_view source);

// Cuts text to at most maxBytes bytes at a character boundary.
std::string TruncateText(std::string_view text, std::size_t maxBytes);

// Removes blanks, tabs, carriage returns and line feeds at both ends. In the double-byte
// code pages none of these bytes can be the second byte of a character.
std::string TrimWhitespace(std::string_view text);

// Lower-cases the ASCII letters only, stepping over double-byte characters whose
// second byte may look like a letter.
std::string ToLowerAnsi(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);
bool Contains(std::string_view text, std::string_view part);

// Replaces every occurrence of `from` (not empty) by `to`, scanning left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Removes every occurrence of the byte c.
std::string RemoveChar(std::string_view text, char c);

// Form encoding byte by byte: ASCII letters and digits stay, the six white-space bytes
// become "+", every other byte (each byte of a double-byte character included) "%XX" with
// upper-case hex digits. Bytes are classified as unsigned, so lead bytes are always encoded.
std::string UrlEncode(std::string_view text);

// The standard path split (drive "C:", directory with trailing separator, file name,
// extension with its dot); each part at most 260 bytes.
struct PathParts {
    std::string drive;
    std::string directory;
    std::string name;
    std::string extension;
};
PathParts SplitPath(std::string_view path);

// The pieces of a "|"-joined list (process names, registry paths, handed-over command lines),
// in order, without the empty ones.
std::vector<std::string> SplitList(std::string_view text, char separator = '|');

// A message text with its first "%s" replaced by `value` (code-page text, shown as it is:
// the value is never read as a format).
std::wstring FillMessage(std::wstring_view format, std::string_view value);

// printf-style formatting into a string of any length.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True when a file or folder of that name exists (attribute test only).
bool PathExists(const std::string& path);

// Full path of the running program and its folder with a trailing backslash.
std::string ModulePath();
std::string ModuleFolder();

}  // namespace tarnock
