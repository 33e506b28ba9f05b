// The image readers: BMP, TGA and JPEG into a new YImage, chosen by the file
// name's ending.  Every reader returns none for a file it cannot read whole.
#pragma once

#include "graphics2d/YImage.h"

// Opens the named file read-only and reads it by its extension.
YImage* LoadImageFile(const char* name, DWORD flags);
// Reads an open file by the last four characters of its name: ".bmp",
// ".tga", ".jpg", ".jif" or "jpeg", letter case aside.
YImage* LoadImageByExtension(CFile* file, DWORD flags);

YImage* LoadTGA(CFile& file, DWORD flags);
YImage* LoadBMP(CFile& file, DWORD flags);
YImage* LoadJPEG(CFile& file, DWORD flags);
