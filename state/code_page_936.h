// Code page 936 (GBK) as the system converts UTF-16 to it: for INI files saved in Unicode.
#pragma once

#include <string>
#include <string_view>

// The GBK text the system writes for `units`, through the platform's own converter (WideCharToMultiByte on
// Windows, iconv elsewhere). A unit without a GBK character becomes a stand-in: on Windows its look-alike
// or "?", elsewhere "?". `exact`, when given, tells whether the text reads back as the same units.
std::string GbkFromUtf16(std::u16string_view units, bool* exact = nullptr);
