// The user-interface language the test runs in, and texts in the program's ANSI code page.
#pragma once
#include <string>

bool IsGerman();

// A UTF-8 text of the test source, in the ANSI code page the program works in.
std::string Ansi(const char* utf8);

// The English or the German text, whichever the running language shows.
std::string Localized(const char* english, const char* german);
