// GDI+ font, font family and string format wrappers.
#pragma once

#include <string>
#include <string_view>

#include "gfx/status.h"

class GfxFontFamily : public GfxObject<Gdiplus::GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily> {
  public:
    // `name` is GBK text; families are looked up among the installed fonts.
    bool CreateFontFamilyFromName(std::string_view name);
    // The family's name as GBK text; empty when it cannot be read.
    std::string GetFamilyName() const;
    bool DeleteFontFamily() { return DeleteHandle(); }

  private:
    friend class GfxFont;
};

class GfxFont : public GfxObject<Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont> {
  public:
    // A font of the named family (GBK text); `style` holds Gdiplus::FontStyle bits.
    bool CreateFromName(std::string_view family_name, Gdiplus::REAL size,
                        INT style = Gdiplus::FontStyleRegular, Gdiplus::Unit unit = Gdiplus::UnitWorld);
    // The GDI font `font` (or the one selected into `dc` when none is given) as a GDI+ font.
    bool CreateFromDC(HDC dc, HFONT font = nullptr);
    // Hands the font's family to `family`, which then owns it.
    bool GetFamily(GfxFontFamily& family) const;
    INT GetFontStyle() const;
    Gdiplus::REAL GetFontSize() const;
    bool DeleteFont() { return DeleteHandle(); }
};

class GfxStringFormat
    : public GfxObject<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat> {
  public:
    bool CreateStringFormat(INT flags = 0, LANGID language = 0);
    bool SetStringFormatAlign(Gdiplus::StringAlignment align);
    bool SetStringFormatLineAlign(Gdiplus::StringAlignment align);
    bool SetStringFormatTrimming(Gdiplus::StringTrimming trimming);
    bool DeleteStringFormat() { return DeleteHandle(); }
};
