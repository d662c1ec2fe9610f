#include "base/TextUtil.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace tarnock {

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}

bool IsLeadByte(unsigned char c) { return c >= 0x80 && IsDBCSLeadByteEx(CP_ACP, c); }

}  // namespace

std::string AnsiFromWide(std::wstring_view text) { return FromWide(CP_ACP, text); }
std::wstring WideFromAnsi(std::string_view text) { return ToWide(CP_ACP, text); }
std::string Utf8FromAnsi(std::string_view text) { return FromWide(CP_UTF8, ToWide(CP_ACP, text)); }
std::string AnsiFromUtf8(std::string_view text) { return FromWide(CP_ACP, ToWide(CP_UTF8, text)); }

std::string TruncateText(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    std::size_t end = 0;
    while (end < maxBytes) {
        const std::size_t step = (IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size()) ? 2 : 1;
        if (end + step > maxBytes) break;
        end += step;
    }
    return std::string(text.substr(0, end));
}

void CopyBounded(char* destination, std::size_t capacity, std::string_view source) {
    if (destination == nullptr || capacity == 0) return;
    const std::string cut = TruncateText(source.substr(0, std::min(source.size(), source.find('\0'))), capacity - 1);
    cut.copy(destination, cut.size());
    destination[cut.size()] = '\0';
}

std::string TrimWhitespace(std::string_view text) {
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string ToLowerAnsi(std::string_view text) {
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(result[i]);
        if (IsLeadByte(c)) {
            ++i;  // the second byte belongs to the same character
        } else if (c >= 'A' && c <= 'Z') {
            result[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string result;
    std::size_t start = 0;
    for (std::size_t hit; (hit = text.find(from, start)) != std::string_view::npos; start = hit + from.size()) {
        result.append(text.substr(start, hit - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::string RemoveChar(std::string_view text, char c) {
    std::string result;
    result.reserve(text.size());
    for (char x : text)
        if (x != c) result.push_back(x);
    return result;
}

PathParts SplitPath(std::string_view path) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) {
        parts.directory = std::string(path.substr(0, slash + 1));
        path.remove_prefix(slash + 1);
    }
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string_view::npos) {
        parts.extension = std::string(path.substr(dot));
        path = path.substr(0, dot);
    }
    parts.name = std::string(path);
    for (std::string* part : {&parts.drive, &parts.directory, &parts.name, &parts.extension})
        *part = TruncateText(*part, 260);
    return parts;
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find(separator, start);
        const std::string_view piece = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!piece.empty()) pieces.emplace_back(piece);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return pieces;
}

std::wstring FillMessage(std::wstring_view format, std::string_view value) {
    const std::size_t slot = format.find(L"%s");
    if (slot == std::wstring_view::npos) return std::wstring(format);
    std::wstring text(format.substr(0, slot));
    text += WideFromAnsi(value);
    text += format.substr(slot + 2);
    return text;
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        result.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(result.data(), result.size(), format, args);
        result.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    return result;
}

bool PathExists(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string ModuleFolder() {
    const PathParts parts = SplitPath(ModulePath());
    return parts.drive + parts.directory;
}

std::string UrlEncode(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
            out += static_cast<char>(byte);
        } else if (byte == ' ' || (byte >= '\t' && byte <= '\r')) {
            out += '+';
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

}  // namespace tarnock
