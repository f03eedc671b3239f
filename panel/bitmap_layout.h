// Reading the header of a packed device-independent bitmap (no file header):
// where its colour table and pixels lie and how big it is. The bytes are
// checked before they are trusted, so a damaged resource is refused rather
// than drawn out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t BitmapInfoHeaderSize = 40;

struct BitmapLayout {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 0;
    int colourCount = 0;     // entries in the colour table
    size_t pixelOffset = 0;  // header size + 4 bytes per colour
};

// Colour-table entries: the colours-used field when not 0, else 2, 16 or 256
// for 1, 4 or 8 bits per pixel, and 0 for any other depth.
int colourCountFor(uint16_t bitsPerPixel, uint32_t coloursUsed);

// False when the bytes are not an uncompressed bitmap whose header, colour
// table and bottom-up pixel rows all lie within size bytes.
bool readBitmapLayout(const uint8_t* data, size_t size, BitmapLayout& layout);

struct PaletteColour {
    uint8_t red, green, blue;
};

// Colour-table entry i (stored blue, green, red, reserved), for a layout
// that readBitmapLayout accepted and 0 <= i < colourCount.
PaletteColour bitmapColour(const uint8_t* data, const BitmapLayout& layout, int i);
