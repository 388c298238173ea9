#include "ParseCommand.h"

#include "CA2W.h"
#include "store/ExecutablePath.h"

#include <algorithm>
#include <cstring>
#include <string>

static const char kQuote = '"';
static const char kBlanks[] = " \t";
// Placeholders the shell fills with the file, and those it fills with what the store cannot give.
static const char kFilePlaceholders[] = "1Ll0Vv";
static const char kDroppedPlaceholders[] = "*23456789IiDdSsHhWw~";

// The program's part of a command: as written, where the rest begins, and the file it names.
struct ProgramPart {
    std::string written;
    size_t restAt = 0;
    CString file;
};

CString FoundProgram(LPCSTR path, LPCWSTR defaultExtension)
{
    if (!*path)
        return CString();
    CA2W expanded(Expanded(path));
    WCHAR found[MAX_PATH];
    DWORD length = ::SearchPathW(nullptr, expanded, defaultExtension, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    DWORD attributes = ::GetFileAttributesW(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CString();
    return CString(found);
}

static std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A quoted program runs to the closing quote, or to the end when there is none.
static bool SplitQuoted(const std::string& command, ProgramPart& part)
{
    size_t closing = std::min(command.find(kQuote, 1), command.size());
    part.written = command.substr(1, closing - 1);
    part.restAt = std::min(closing + 1, command.size());
    part.file = FoundProgram(part.written.c_str());
    return !part.file.IsEmpty();
}

// An unquoted program is the shortest part ending at a space, or the whole command, that names a file.
static bool SplitUnquoted(const std::string& command, ProgramPart& part)
{
    for (size_t end = command.find(' ');; end = command.find(' ', end + 1)) {
        part.written = command.substr(0, end);
        part.file = FoundProgram(part.written.c_str());
        if (!part.file.IsEmpty()) {
            part.restAt = end == std::string::npos ? command.size() : end;
            return true;
        }
        if (end == std::string::npos)
            return false;
    }
}

// A full path that names the file is kept as written, so its variables stay; any other is replaced by the
// file found, since the store launches a program by its path alone.
static void KeepPath(const ProgramPart& part, ParsedCommand& parsed)
{
    CString expanded = Expanded(part.written.c_str());
    bool isFull = expanded.GetLength() > 2 && (LPCSTR(expanded)[1] == ':' || LPCSTR(expanded)[0] == '\\');
    if (!isFull || !IsSamePath(expanded, part.file)) {
        parsed.path = part.file;
        parsed.pathExpands = false;
        return;
    }
    parsed.path = part.written.c_str();
    parsed.pathExpands = !(expanded == part.written.c_str());
}

// The file's placeholders become "%1"; the others go, with the quotes that held one alone.
static std::string WithStoredPlaceholders(const std::string& text)
{
    std::string result;
    for (size_t at = 0; at < text.size(); ++at) {
        char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (text[at] != '%' || next == '\0') {
            result += text[at];
        } else if (std::strchr(kFilePlaceholders, next)) {
            result += "%1";
            ++at;
        } else if (std::strchr(kDroppedPlaceholders, next)) {
            ++at;
            bool quotedAlone = !result.empty() && result.back() == kQuote && at + 1 < text.size()
                && text[at + 1] == kQuote;
            if (quotedAlone) {
                result.pop_back();
                ++at;
            }
        } else {
            result += text[at];
        }
    }
    return result;
}

// Windows passes the file after the options of a command that does not place it.
static CString StoredParameters(const std::string& rest)
{
    std::string parameters = Trimmed(WithStoredPlaceholders(std::string(Expanded(rest.c_str()))));
    if (!parameters.empty() && parameters.find("%1") == std::string::npos)
        parameters += " \"%1\"";
    return CString(parameters.c_str());
}

bool ParseCommand(LPCSTR command, ParsedCommand& parsed)
{
    std::string text = Trimmed(command);
    ProgramPart part;
    if (text.empty())
        return false;
    bool found = text[0] == kQuote ? SplitQuoted(text, part) : SplitUnquoted(text, part);
    if (!found)
        return false;
    parsed.file = part.file;
    KeepPath(part, parsed);
    parsed.parameters = StoredParameters(text.substr(part.restAt));
    return true;
}
