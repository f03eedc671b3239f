// Panel bitmaps drawn straight from the program's resources through the one
// panel palette.
#pragma once
#include <windows.h>
#include <cstdint>

#include "base/scoped_win32.h"
#include "panel/bitmap_layout.h"

// A bitmap resource: its bytes in the loaded resource and its checked layout.
// An empty one (data nullptr) stands for a bitmap that could not be loaded.
struct PanelBitmap {
    const uint8_t* data = nullptr;
    BitmapLayout layout;
    explicit operator bool() const { return data != nullptr; }
};

// Made at start-up from the background bitmap, deleted when the window goes.
extern ScopedGdiObject<HPALETTE> panelPalette;
extern PanelBitmap backgroundBitmap;

// Shows "Problem loading bmp resource" and returns an empty bitmap when the
// name is not among the resources or its bytes are not a bitmap we can draw.
PanelBitmap loadBitmapResource(const char* name);
int bitmapColourCount(const PanelBitmap& bitmap);
SIZE bitmapSize(const PanelBitmap& bitmap);
HPALETTE createPanelPalette(const PanelBitmap& bitmap);
// Draws the whole bitmap with its top-left corner at (x, y) of the window's
// client area, in a paint cycle of its own: afterwards the window has no
// pending update. An empty bitmap draws nothing but still validates.
void drawBitmap(const PanelBitmap& bitmap, HWND window, int x, int y, HPALETTE palette);
// Selects and realizes the panel palette on the main window.
void realizePanelPalette();
void deletePanelPalette();
