// Conversion between the program's GBK text and the UTF-16 text GDI+ takes.
#pragma once

#include <string>
#include <string_view>

// Program text is GBK whatever the system's ANSI code page, so the conversions name code page 936.
inline constexpr unsigned kGbkCodePage = 936;

// UTF-16 form of GBK text; bytes that are not GBK become U+FFFD.
std::wstring WideFromText(std::string_view text);

// GBK form of UTF-16 text; characters without a GBK form become "?".
std::string TextFromWide(std::wstring_view wide);
