#include "panel/bitmap_win32.h"

#include <vector>

#include "base/app_handles_win32.h"
#include "base/dialogs.h"
#include "base/scoped_win32.h"

ScopedGdiObject<HPALETTE> panelPalette;
PanelBitmap backgroundBitmap;

PanelBitmap loadBitmapResource(const char* name) {
    PanelBitmap bitmap;
    HRSRC found = FindResourceA(appInstance, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(appInstance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) {
        auto* data = static_cast<const uint8_t*>(bytes);
        if (readBitmapLayout(data, SizeofResource(appInstance, found), bitmap.layout)) bitmap.data = data;
    }
    if (!bitmap) showMessage("Problem loading bmp resource");
    return bitmap;
}

int bitmapColourCount(const PanelBitmap& bitmap) { return bitmap ? bitmap.layout.colourCount : 0; }

SIZE bitmapSize(const PanelBitmap& bitmap) {
    if (!bitmap) return SIZE{0, 0};
    return SIZE{bitmap.layout.width, bitmap.layout.height};
}

HPALETTE createPanelPalette(const PanelBitmap& bitmap) {
    int count = bitmapColourCount(bitmap);
    // LOGPALETTE declares one entry; room for the rest follows it.
    std::vector<uint8_t> record(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * (count > 0 ? count : 1), 0);
    auto* palette = reinterpret_cast<LOGPALETTE*>(record.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        PaletteColour colour = bitmapColour(bitmap.data, bitmap.layout, i);
        palette->palPalEntry[i] = PALETTEENTRY{colour.red, colour.green, colour.blue, 0};
    }
    return CreatePalette(palette);
}

void drawBitmap(const PanelBitmap& bitmap, HWND window, int x, int y, HPALETTE palette) {
    // Declared first, so deleted after the paint cycle ends; the device
    // context keeps a copy of it while it is selected.
    ScopedGdiObject<HRGN> clip;
    ScopedPaint dc(window);
    if (!dc || !bitmap) return;
    if (palette) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    const uint8_t* pixels = bitmap.data + bitmap.layout.pixelOffset;
    RECT client;
    GetClientRect(window, &client);
    clip.reset(CreateRectRgnIndirect(&client));
    SelectClipRgn(dc, clip.get());
    int height = bitmap.layout.height;
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(bitmap.layout.width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels, reinterpret_cast<const BITMAPINFO*>(bitmap.data),
                      DIB_RGB_COLORS);
}

void realizePanelPalette() {
    if (!panelPalette) return;
    ScopedWindowDC dc(mainWindow);
    SelectPalette(dc, panelPalette.get(), TRUE);
    UnrealizeObject(panelPalette.get());
    RealizePalette(dc);
    UpdateColors(dc);
}

void deletePanelPalette() { panelPalette.reset(); }
