// The book image files: fixed-size tables stored little-endian, field by field.
#pragma once

#include "book/bookdata.h"

constexpr int SmallBookEntryBytes = 20;
constexpr int BigBookEntryBytes = 32;
constexpr long SmallBookImageBytes = long(SmallBookSize) * SmallBookEntryBytes;  // 81920
constexpr long BigBookImageBytes = long(BigBookSize) * BigBookEntryBytes;        // 1048576

// How reading an image went; on anything but ImageLoaded the table is left empty.
enum ImageResult { ImageLoaded, ImageMissing, ImageWrongSize, ImageUnreadable };

// How writing an image went; a failed write leaves an earlier file of that name untouched.
enum SaveResult { ImageSaved, ImageCannotCreate, ImageWriteFailed };

// Reads a small-book image of exactly SmallBookImageBytes into the table.
ImageResult LoadSmallBookImage(SmallBookEntry* table, const char* path);

// Writes the small book's SmallBookSize records to path.
SaveResult SaveSmallBookImage(const SmallBookEntry* table, const char* path);

// Reads a big-book image of exactly BigBookImageBytes into the table.
ImageResult LoadBigBookImage(BigBookEntry* table, const char* path);

// Writes the big book's BigBookSize entries to path.
SaveResult SaveBigBookImage(const BigBookEntry* table, const char* path);

// The installed data folder, where book files are looked for after the working folder.
const char* DataFolder();

// Returns the path of a file of the installed data folder; the next call overwrites it.
const char* DataFolderPath(const char* name);
