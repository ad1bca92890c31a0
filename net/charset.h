// Which character set a response declares for its page: the Content-Type header, else a meta tag.
#pragma once

#include <string>
#include <string_view>

// The declared charset in lower case, without quotes; empty when none is declared. The charset parameter of
// the headers' Content-Type line comes first; without one, the first <meta> tag within the first 4 KB of the
// body that names a charset (<meta charset=...> or <meta http-equiv=... content="...; charset=...">). Names
// and values are matched in either letter case, quoted or not. `headers` is a raw block of CR LF lines.
std::string DeclaredCharset(std::string_view headers, std::string_view body);

// True when the declared charset is UTF-8 (spelt "utf-8" or "utf8").
bool DeclaresUtf8(std::string_view headers, std::string_view body);
