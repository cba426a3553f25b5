#pragma once
// Every line the run writes into its log, in one place. Lines marked "as it has always been
// written" are read by users' scripts: keep them byte for byte ("alread" included).

namespace quillon {

// A raw chunk file taken, as it has always been written.
inline constexpr char kFrameSubstituted[] = "Frame %04X was substituted from file %s...\n";
// A raw chunk file refused, with why.
inline constexpr char kFrameNotSubstituted[] =
    "Frame %04X was not substituted from file %s: %s!!!\n";
// A member's image, GIF or text file refused, with why.
inline constexpr char kCannotUseFile[] = "Cannot use file %s: %s!!!\n";
// A chunk that displaces an earlier replacement, after the kind's collision word, as it has
// always been written.
inline constexpr char kAlreadyPatched[] =
    "%s Frame %04X was alread patched!!! Deleting previous patch...\n";
// The collision words of the media kinds, as they have always been written.
inline constexpr char kBitmapCollision[] = "Frames collision 2!";
inline constexpr char kGifCollision[] = "Frames collision!";
inline constexpr char kTextCollision[] = "Frames collision 3!";
inline constexpr char kCatalogueCollision[] = "Frames collision 4!";
inline constexpr char kSoundCollision[] = "Frames collision 5!";

// The heads of a bitmap and an alpha channel member's line, as they have always been written;
// one of the three lines below completes each.
inline constexpr char kBitmapHead[] = "Cast %06d->(%04X:%04X): BITD=";
inline constexpr char kAlphaHead[] = "Cast %06d->(%04X:%04X): ALFA=";
// Width, height and depth, as it has always been written.
inline constexpr char kBitmapSize[] = "%dx%dx%d\n";
// A member of another layout, as it has always been written.
inline constexpr char kBitType[] = "%d bittype!!!\n";
// A depth the builders do not take, as it has always been written.
inline constexpr char kBitsPerPixel[] = "%d bitsperpixel!!!\n";
// A picture of another size than its member (also told on the console).
inline constexpr char kOtherSize[] = "Image %s is %dx%d, not %dx%d: cut or padded with zeros\n";
// An indexed picture whose colours disagree with the member's.
inline constexpr char kColoursMapped[] = "Colours of %s mapped to the member's palette\n";

// A text member's line: the length of the text that goes out, or an unreadable chunk.
inline constexpr char kTextLength[] = "Cast %06d->(%04X:%04X): STXT=%u bytes\n";
inline constexpr char kTextUnreadable[] = "Cast %06d->(%04X:%04X): STXT=unreadable!!!\n";
// Why a text file cannot be used: the first character the code page lacks, and where it
// stands in the file (from 1, the column counted in characters).
inline constexpr char kUnmappableCharacter[] =
    "character U+%04X (line %u, column %u) has no byte in code page %u";

// A sound member's line: the sound that goes out, or a chunk without a header the tool reads.
inline constexpr char kSoundLine[] = "Cast %06d->(%04X:%04X): snd =%u frames, %u Hz, %u-bit, %s\n";
inline constexpr char kSoundUnsupported[] = "Cast %06d->(%04X:%04X): snd =unsupported!!!\n";

// The catalogue pass: an entry it cannot use, with why; what it rebuilt; a script's source text
// it could not follow.
inline constexpr char kCannotUseEntry[] = "Cannot use entry \"%s\" of %s: %s!!!\n";
inline constexpr char kTextFromCatalogue[] = "STXT %04X: %u bytes from %s\n";
inline constexpr char kScriptFromCatalogue[] = "Lscr %04X: %u of %u strings replaced from %s\n";
inline constexpr char kSourceKeepsOldText[] =
    "Source of cast member %u keeps the old text of \"%s\"\n";

}  // namespace quillon
