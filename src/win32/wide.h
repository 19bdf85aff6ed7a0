// Windows' own strings: UTF-16 to and from the game's UTF-8.
#pragma once
#include <string>

std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& wide);
