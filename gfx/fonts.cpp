// Font, font family and string format wrappers.
#include "gfx/fonts.h"

#include "gfx/wide_text.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

bool GfxFontFamily::CreateFontFamilyFromName(std::string_view name) {
    std::wstring wide = WideFromText(name);
    return Create<GpFontFamily>(
        [&](GpFontFamily** out) { return GdipCreateFontFamilyFromName(wide.c_str(), nullptr, out); });
}

std::string GfxFontFamily::GetFamilyName() const {
    WCHAR name[LF_FACESIZE] = {};
    if (!RecordStatus(GdipGetFamilyName(handle_, name, LANG_NEUTRAL))) return {};
    return TextFromWide(name);
}

bool GfxFont::CreateFromName(std::string_view family_name, REAL size, INT style, Unit unit) {
    Release();
    GfxFontFamily family;
    if (!family.CreateFontFamilyFromName(family_name)) return false;
    return Create<GpFont>(
        [&](GpFont** out) { return GdipCreateFont(family.GetHandle(), size, style, unit, out); });
}

bool GfxFont::CreateFromDC(HDC dc, HFONT font) {
    LOGFONTA description{};
    if (font && GetObjectA(font, sizeof(description), &description)) {
        return Create<GpFont>(
            [&](GpFont** out) { return GdipCreateFontFromLogfontA(dc, &description, out); });
    }
    return Create<GpFont>([&](GpFont** out) { return GdipCreateFontFromDC(dc, out); });
}

bool GfxFont::GetFamily(GfxFontFamily& family) const {
    return family.Create<GpFontFamily>([&](GpFontFamily** out) { return GdipGetFamily(handle_, out); });
}

INT GfxFont::GetFontStyle() const {
    INT style = 0;
    return RecordStatus(GdipGetFontStyle(handle_, &style)) ? style : 0;
}

REAL GfxFont::GetFontSize() const {
    REAL size = 0;
    return RecordStatus(GdipGetFontSize(handle_, &size)) ? size : 0;
}

bool GfxStringFormat::CreateStringFormat(INT flags, LANGID language) {
    return Create<GpStringFormat>(
        [&](GpStringFormat** out) { return GdipCreateStringFormat(flags, language, out); });
}

bool GfxStringFormat::SetStringFormatAlign(StringAlignment align) {
    return RecordStatus(GdipSetStringFormatAlign(handle_, align));
}

bool GfxStringFormat::SetStringFormatLineAlign(StringAlignment align) {
    return RecordStatus(GdipSetStringFormatLineAlign(handle_, align));
}

bool GfxStringFormat::SetStringFormatTrimming(StringTrimming trimming) {
    return RecordStatus(GdipSetStringFormatTrimming(handle_, trimming));
}
