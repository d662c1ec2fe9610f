#include "setup/SetupOptions.h"

#include <cwctype>
#include <vector>

namespace tarnock::setup {

namespace {

// Splits at blanks; double quotes group blanks into a token and are removed.
std::vector<std::wstring> Tokens(const std::wstring& text) {
    std::vector<std::wstring> tokens;
    std::wstring current;
    bool quoted = false;
    bool inToken = false;
    for (wchar_t c : text) {
        if (c == L'"') {
            quoted = !quoted;
            inToken = true;
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            if (inToken) tokens.push_back(current);
            current.clear();
            inToken = false;
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inToken) tokens.push_back(current);
    return tokens;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

std::optional<SetupOptions> ParseSetupOptions(const std::wstring& arguments) {
    SetupOptions options;
    const std::vector<std::wstring> tokens = Tokens(arguments);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::wstring& token = tokens[i];
        if (token.size() < 2 || (token[0] != L'/' && token[0] != L'-')) return std::nullopt;
        const std::wstring name = Lower(token.substr(1));
        if (name == L"s" || name == L"silent" || name == L"quiet" || name == L"qn") {
            options.silent = true;
        } else if (name == L"uninstall" || name == L"x") {
            options.action = SetupAction::Uninstall;
        } else if (name == L"log") {
            if (i + 1 >= tokens.size() || tokens[i + 1].empty()) return std::nullopt;
            options.logFile = tokens[++i];
        } else if (name == L"?" || name == L"help" || name == L"h") {
            options.action = SetupAction::Help;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::wstring MsiexecCommandLine(const std::wstring& msiexecPath, const SetupOptions& options,
                                const std::wstring& target) {
    std::wstring line = Quoted(msiexecPath);
    line += options.action == SetupAction::Uninstall ? L" /x " : L" /i ";
    line += Quoted(target);
    // Basic user interface: the installer's own progress window, nothing to answer.
    line += options.silent ? L" /qn" : L" /qb";
    line += L" /norestart";
    if (!options.logFile.empty()) line += L" /l*v " + Quoted(options.logFile);
    return line;
}

std::wstring ArgumentsOf(const std::wstring& commandLine) {
    std::size_t i = 0;
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    if (i < commandLine.size() && commandLine[i] == L'"') {
        const std::size_t close = commandLine.find(L'"', i + 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return commandLine.substr(i);
}

}  // namespace tarnock::setup
