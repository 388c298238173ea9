#include "support/Language.h"

#include <windows.h>

bool IsGerman()
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN;
}

std::string Ansi(const char* utf8)
{
    std::wstring wide(::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], static_cast<int>(wide.size()));
    std::string text(::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    ::WideCharToMultiByte(
        CP_ACP, 0, wide.c_str(), -1, &text[0], static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

std::string Localized(const char* english, const char* german)
{
    return Ansi(IsGerman() ? german : english);
}
