#pragma once
// Every fixed text the programs print on the console, in one place. Texts marked "as it has
// always been printed" are read by users' scripts: keep them byte for byte.

namespace quillon {

// The banner, as it has always been printed.
inline constexpr char kBanner[] = "Quillon v1.1.\n";
// The usage text's first line, as it has always been printed.
inline constexpr char kUsageHead[] =
    "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n";
// The run's syntax line, as it has always been printed.
inline constexpr char kRunSyntax[] =
    "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n";
// The export's syntax line, as it has always been printed.
inline constexpr char kExportSyntax[] =
    "Syntax: \"Quillon-Export.exe\" <s:InFile.DXR> <s:FilesDir>\n";
// The line both programs' usage texts end with, as it has always been printed.
inline constexpr char kCodePageUsage[] =
    "Option: --codepage=N (before InFile): the code page of the texts, 1252 if not given (10000 "
    "in a Mac movie)\n";
// The export's own option.
inline constexpr char kOverwriteUsage[] =
    "Option: --overwrite (before InFile): files that differ from the movie are replaced, not "
    "kept\n";

// An argument that looks like an option where none is taken.
inline constexpr char kUnknownOption[] = "Unknown option %s!!!\n";
// A --codepage= value that names no code page on offer, as it has always been printed.
inline constexpr char kUnknownCodePage[] = "Unknown code page %s!!!\n";
// The code pages on offer, after kUnknownCodePage: "874 (Thai), ...".
inline constexpr char kOfferedCodePages[] = "Code pages offered: %s\n";
// The movie's own code page, which the system cannot convert, as it has always been printed.
inline constexpr char kUnknownMovieCodePage[] = "Unknown code page %u!!!\n";
// The input, and why it cannot be opened.
inline constexpr char kCannotOpen[] = "Cannot Open File %s: %s!!!\n";
// A file that is not a RIFX container at all, as it has always been printed.
inline constexpr char kUnknownFormat[] = "Unknown file format %s!!!\n";
// A container of a form this tool does not rebuild.
inline constexpr char kCompressedMovie[] =
    "Cannot read %s: a compressed Shockwave movie, which this tool does not rebuild!!!\n";
// A movie whose structures do not hold together, and where.
inline constexpr char kDamagedMovie[] = "Cannot read %s: damaged movie (%s)!!!\n";
// A file of the output, and why it cannot be written.
inline constexpr char kCannotWrite[] = "Cannot write file %s: %s!!!\n";
// Why an output that names the input is not written.
inline constexpr char kItIsTheInput[] = "it is the input movie";
// As it has always been printed.
inline constexpr char kNotEnoughMemory[] = "Not enough memory for %s!!!\n";
// As it has always been printed.
inline constexpr char kTooLargeOutput[] = "Resulting cast %s would exceed 4 GB!!!\n";
// The run's summary: what the passes did, so that a run that used none of its files does not
// pass unnoticed.
inline constexpr char kRunSummary[] =
    "Replaced %u chunks; %u files unchanged; %u files could not be used (see %s).\n";
// FilesDir and its files, told before the summary.
inline constexpr char kNoFilesDir[] = "Folder %s does not exist: nothing is replaced\n";
inline constexpr char kFilesOfAnotherMovie[] =
    "Files in %s are of %s, not of %s: nothing is replaced\n";
inline constexpr char kNotUsed[] = "Not used: %s\n";
inline constexpr char kUnusedCount[] = "%u files in %s match nothing in this movie (first: %s)\n";
inline constexpr char kNoFileOfTheMovie[] =
    "No file in %s starts with %s, the name of this movie\n";
// The export's refusal of a folder that holds another movie's files.
inline constexpr char kFolderOfAnotherMovie[] =
    "Folder %s holds the files of %s; those of %s would mix with them!!!\n";
// As it has always been printed.
inline constexpr char kWritingOutput[] = "Writing resulting cast %s...\n";
// The last line of a program that did its work, as it has always been printed.
inline constexpr char kJobOk[] = "\nJob OK!!!\n";

// A folder of movies: a line per movie, in the folder's order, then the totals.
inline constexpr char kBatchRunLine[] = "OK    %s: %u replaced, %u unchanged, %u refused\n";
inline constexpr char kBatchExportLine[] = "OK    %s: %u files, %u passed over, %u kept\n";
inline constexpr char kBatchFailed[] = "FAILED %s: %s\n";
// A file of a Director extension that holds no movie or cast this tool reads.
inline constexpr char kBatchSkipped[] = "SKIPPED %s: %s\n";
inline constexpr char kNotAMovie[] = "not a movie or cast";
inline constexpr char kBatchTotals[] = "%u movies: %u OK, %u failed (see %s)\n";
// The progress line of a folder, on a console only.
inline constexpr char kBatchProgress[] = "%u of %u movies done\r";
// A --jobs= value that is no count of at least 1.
inline constexpr char kBadJobs[] = "Unknown job count %s!!!\n";

}  // namespace quillon
