// Icons on the clipboard ("Kx Icon": the bytes of an icon file), and icon
// handles at the size of their own image, so that a menu can draw an icon
// without the system stretching it to the standard icon size. Icon bytes are
// checked before use: a bad image raises EInvalidGraphic, an exhausted
// system resource EOutOfResources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "Classes.h"
#include "Icons.h"
#include "WinHandles.h"

namespace kx {

// The id the system gave "Kx Icon"; 0 until InitClipIconUnit has run.
extern UINT IconClipboardFormat;
// Start-up: registers the clipboard format with the system, and with the
// picture support as the format of icon pictures. Shutdown takes it back
// from the picture support (the system keeps its id for the session).
void InitClipIconUnit();
void DoneClipIconUnit();

// The size of an icon handle: its colour bitmap's, else its mask's width and
// half its height, else the standard icon size.
void IconExtent(HICON icon, int& width, int& height);

// A new icon handle for `icon` at the size of the image that suits the
// screen; the caller destroys it.
HICON MakeDisplayIcon(const velfw::TIcon& icon);

// The image of the directory entry that suits the screen, read from
// `stream`, which stands just after the directory's count (a header of
// `headerSize` bytes).
velfw::UniqueIcon LoadBestIconImage(velfw::TStream& stream, uint32_t count, uint32_t headerSize);

// The colour and mask bitmaps (screen-compatible and monochrome) of one icon
// image: a bitmap-info header whose height counts both halves, its colour
// table, the colour bits and the mask bits. The header's height and image
// size are changed in place to those of the colour half.
void SplitIconImage(std::span<uint8_t> image, velfw::UniqueGdiObject& colour, velfw::UniqueGdiObject& mask);

// A new bitmap of the given size, monochrome or screen-compatible, with the
// whole of `bitmap` stretched onto it.
velfw::UniqueGdiObject StretchToNewBitmap(HBITMAP bitmap, int width, int height, bool monochrome);

[[noreturn]] void RaiseOutOfResources();

// Puts the icon's file bytes on the clipboard, owned by `owner`, in place of
// what it held. False when the clipboard cannot be had.
bool CopyIconToClipboard(const velfw::TIcon& icon, HWND owner);
// True when the clipboard offers a "Kx Icon".
bool ClipboardHasIcon();
// Takes the clipboard's "Kx Icon" into `icon`. False when there is none or
// the clipboard cannot be had; a block that is not a sound icon file raises
// EInvalidGraphic and leaves `icon` as it was.
bool PasteIconFromClipboard(velfw::TIcon& icon, HWND owner);

}  // namespace kx
