#pragma once
// Bitmap (BITD) and alpha (ALFA) chunks of a cast member rebuilt from image files: the pixels
// laid out in the member's planar rows, each row run-length packed.

#include <cstdint>

#include "builders/build_context.h"
#include "builders/cast_media.h"
#include "builders/plane_layout.h"

namespace quillon {

class MovieView;

// Where a member's pixels come from and how they are laid out: a row per depth.
struct ImageSource {
  uint8_t depth;
  const char* suffix;  // after "<stem>-<k>"
  bool tga;            // else BMP
  PlaneLayout layout;
};

// The bitmap builder's source for a depth (1, 2, 4, 8, 16, 32); null for the others.
const ImageSource* SourceForDepth(uint8_t depth);
// The alpha builder's, 8 bits: "-alpha.bmp" for a member of 8 bits, whose pixels take "-8.bmp",
// else "-8.bmp".
const ImageSource& AlphaSource(uint8_t member_depth);

// From "<stem>-<k>-1.bmp", "-2.bmp", "-4.bmp", "-8.bmp", "-16.tga" or "-32.tga" by the member's
// depth. Logs the member's line ("Cast ...: BITD=" and its size or refusal); a missing image
// leaves the chunk as it was. An indexed member's picture gives its indices as they stand when
// its colour table agrees with the member's colours, else (and for true-colour pictures) each
// pixel the index of its nearest colour among them.
void BuildBitmapChunk(const BuildContext& context, const CastMedia& media,
                      ImportedChunk& imported);

// From "<stem>-<k>-alpha.bmp" for an 8-bit member, else "<stem>-<k>-8.bmp", each pixel's low
// byte.
void BuildAlphaChunk(const BuildContext& context, const CastMedia& media, ImportedChunk& imported);

// The bitmap and alpha kinds' test of an owned chunk: its member's fields (MemberFields) can be
// read, and are kept in media.member for the steps.
bool AcceptsBitmapMember(const MovieView& movie, CastMedia& media);

}  // namespace quillon
