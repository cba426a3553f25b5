#pragma once
// The export of bitmap members' pixels and alpha channels: the stored rows decoded and written
// as the picture the bitmap and alpha builders read back to the very same rows.

#include "builders/cast_media.h"
#include "builders/manifest_row.h"
#include "builders/media_export.h"

namespace quillon {

// "-8.bmp" (the stored indices, the member's palette as colour table), "-16.tga" or "-32.tga"
// by the member's depth.
void ExportBitmap(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                  ExportedFile& file);

// "-8.bmp" with the alpha values as indices and a grey colour table; passed over when a bitmap
// of the same cast number claims that name.
void ExportAlpha(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                 ExportedFile& file);


}  // namespace quillon
