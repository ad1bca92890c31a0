// Code page 936 (GBK) as the system converts UTF-16 to it: for INI files saved in Unicode.
#pragma once

#include <cstdint>

// The GBK character the system writes for one UTF-16 unit: `code` below 0x100 is one byte, else the lead byte
// times 256 plus the trail byte. `exact` is false for a stand-in ("?" or a best-fit look-alike) that reads
// back as another unit.
struct GbkChar {
    uint16_t code;
    bool exact;
};
GbkChar ToGbk(char16_t unit);
