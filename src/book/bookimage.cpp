// Book images: each field written and read byte by byte, lowest byte first, so a file is
// the same on every machine whatever the compiler does with the in-memory records.
#include "book/bookimage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#ifndef MOSSKITE_DATADIR
#define MOSSKITE_DATADIR "."
#endif

static constexpr int MaxPathLength = 512;  // room for a data-folder path or a temporary name

static void PutU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

static uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

static void PutMove(uint8_t* p, const BookMove& m) {
    p[0] = m.from;
    p[1] = m.to;
    p[2] = uint8_t(m.promotion);
}

static BookMove GetMove(const uint8_t* p) {
    return BookMove{p[0], p[1], int8_t(p[2])};
}

// Small-book record: key low, key high, four moves of three bytes.
static void EncodeSmall(const SmallBookEntry& entry, uint8_t* p) {
    PutU32(p, entry.keyLow);
    PutU32(p + 4, entry.keyHigh);
    for (int i = 0; i < SmallBookMoves; i++)
        PutMove(p + 8 + 3 * i, entry.moves[i]);
}

static void DecodeSmall(const uint8_t* p, SmallBookEntry& entry) {
    entry.keyLow = GetU32(p);
    entry.keyHigh = GetU32(p + 4);
    for (int i = 0; i < SmallBookMoves; i++)
        entry.moves[i] = GetMove(p + 8 + 3 * i);
}

// Big-book entry: key low, key high, five moves, five counts, four spare bytes written as 0.
static void EncodeBig(const BigBookEntry& entry, uint8_t* p) {
    PutU32(p, entry.keyLow);
    PutU32(p + 4, entry.keyHigh);
    for (int i = 0; i < BigBookMoves; i++) {
        PutMove(p + 8 + 3 * i, entry.moves[i]);
        p[23 + i] = entry.counts[i];
    }
    PutU32(p + 28, 0);
}

static void DecodeBig(const uint8_t* p, BigBookEntry& entry) {
    entry.keyLow = GetU32(p);
    entry.keyHigh = GetU32(p + 4);
    for (int i = 0; i < BigBookMoves; i++) {
        entry.moves[i] = GetMove(p + 8 + 3 * i);
        entry.counts[i] = p[23 + i];
    }
    std::fill(entry.spare, entry.spare + 4, uint8_t(0));
}

// Reads count records of the given size; the file must hold exactly that many bytes.
template <typename Entry, int Bytes>
static ImageResult LoadImage(Entry* table, int count, const char* path,
                             void (*decode)(const uint8_t*, Entry&)) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::fill(table, table + count, Entry{});
        return ImageMissing;
    }
    ImageResult result = ImageLoaded;
    uint8_t buffer[Bytes];
    for (int i = 0; i < count; i++) {
        if (std::fread(buffer, 1, Bytes, f) != size_t(Bytes)) {
            result = std::ferror(f) ? ImageUnreadable : ImageWrongSize;
            break;
        }
        decode(buffer, table[i]);
    }
    if (result == ImageLoaded && std::fgetc(f) != EOF)
        result = ImageWrongSize;
    if (result == ImageLoaded && std::ferror(f))
        result = ImageUnreadable;
    std::fclose(f);
    if (result != ImageLoaded)
        std::fill(table, table + count, Entry{});
    return result;
}

// Writes count records to a temporary file and renames it over path when all went well.
template <typename Entry, int Bytes>
static SaveResult SaveImage(const Entry* table, int count, const char* path,
                            void (*encode)(const Entry&, uint8_t*)) {
    char temp[MaxPathLength];
    if (std::snprintf(temp, sizeof temp, "%s.new", path) >= int(sizeof temp))
        return ImageCannotCreate;
    FILE* f = std::fopen(temp, "wb");
    if (!f)
        return ImageCannotCreate;
    bool ok = true;
    uint8_t buffer[Bytes];
    for (int i = 0; i < count && ok; i++) {
        encode(table[i], buffer);
        ok = std::fwrite(buffer, 1, Bytes, f) == size_t(Bytes);
    }
    if (std::fclose(f) != 0)
        ok = false;
    if (ok && std::rename(temp, path) != 0)
        ok = false;
    if (!ok)
        std::remove(temp);
    return ok ? ImageSaved : ImageWriteFailed;
}

ImageResult LoadSmallBookImage(SmallBookEntry* table, const char* path) {
    return LoadImage<SmallBookEntry, SmallBookEntryBytes>(table, SmallBookSize, path, DecodeSmall);
}

SaveResult SaveSmallBookImage(const SmallBookEntry* table, const char* path) {
    return SaveImage<SmallBookEntry, SmallBookEntryBytes>(table, SmallBookSize, path, EncodeSmall);
}

ImageResult LoadBigBookImage(BigBookEntry* table, const char* path) {
    return LoadImage<BigBookEntry, BigBookEntryBytes>(table, BigBookSize, path, DecodeBig);
}

SaveResult SaveBigBookImage(const BigBookEntry* table, const char* path) {
    return SaveImage<BigBookEntry, BigBookEntryBytes>(table, BigBookSize, path, EncodeBig);
}

const char* DataFolder() { return MOSSKITE_DATADIR; }

const char* DataFolderPath(const char* name) {
    static char path[MaxPathLength];
    std::snprintf(path, sizeof path, "%s/%s", MOSSKITE_DATADIR, name);
    return path;
}
