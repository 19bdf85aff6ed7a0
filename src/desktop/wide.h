// Windows' own strings: UTF-16 to and from the game's UTF-8 (built only for
// Windows, in win32_files.cpp).
#pragma once
#include <string>

std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& wide);
