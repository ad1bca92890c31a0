// UTF-16 to code page 936 through the platform's converter.
#include "state/code_page_936.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#endif

namespace {

constexpr unsigned kGbkCodePage = 936;

#if defined(_WIN32)

std::string Convert(std::u16string_view units) {
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int count = static_cast<int>(units.size());
    std::string text(units.size() * 2, '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(kGbkCodePage, 0, wide, count, text.data(),
                                                        static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

std::u16string ReadBack(std::string_view text) {
    std::u16string units(text.size(), u'\0');
    units.resize(static_cast<size_t>(MultiByteToWideChar(kGbkCodePage, 0, text.data(),
                                                         static_cast<int>(text.size()),
                                                         reinterpret_cast<wchar_t*>(units.data()),
                                                         static_cast<int>(units.size()))));
    return units;
}

#else

// One iconv conversion, closed when it goes.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (handle_ != kFailed) iconv_close(handle_);
    }

    // Converts `in`; where a unit of `unit_size` bytes cannot be converted, `stand_in` is written and the
    // unit skipped, as the system does.
    std::string Run(std::string_view in, size_t unit_size, std::string_view stand_in) {
        std::string out;
        if (handle_ == kFailed) return out;
        char buffer[256];
        char* from = const_cast<char*>(in.data());
        size_t left = in.size();
        while (left > 0) {
            char* to = buffer;
            size_t room = sizeof buffer;
            const size_t done = iconv(handle_, &from, &left, &to, &room);
            out.append(buffer, static_cast<size_t>(to - buffer));
            if (done == static_cast<size_t>(-1) && errno != E2BIG) {
                const size_t skipped = std::min(unit_size, left);
                from += skipped;
                left -= skipped;
                out += stand_in;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

  private:
    static inline const iconv_t kFailed = reinterpret_cast<iconv_t>(-1);
    iconv_t handle_;
};

constexpr const char* kUnits = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string Convert(std::u16string_view units) {
    std::string_view bytes(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    return Converter("CP936", kUnits).Run(bytes, 2, "?");
}

std::u16string ReadBack(std::string_view text) {
    const char16_t replacement = u'\uFFFD';
    std::string bytes = Converter(kUnits, "CP936")
                            .Run(text, 1, std::string_view(reinterpret_cast<const char*>(&replacement), 2));
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    return units;
}

#endif

}  // namespace

std::string GbkFromUtf16(std::u16string_view units, bool* exact) {
    std::string text = Convert(units);
    if (exact) *exact = ReadBack(text) == units;
    return text;
}
