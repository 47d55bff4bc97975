// Fuzz target: the loaders of both book images, the small book's (81920 bytes) and the big
// book's (1048576 bytes), on files of any length and content. The first input byte chooses:
//   bit 0     the big book, else the small one
//   bit 1     a whole image of the right size, the rest of the input repeated over it;
//             else the rest of the input is the file as it stands
//   bit 2     every record keyed with the probe position, so that probes find them
//   bits 3-4  the probe position
// A book probe may only offer legal moves, and a loaded book must save and load unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "board/poscheck.h"
#include "book/bigbook.h"
#include "book/bookimage.h"
#include "book/probe.h"
#include "book/smallbook.h"
#include "engine.h"
#include "fuzzsupport.h"
#include "notation/epd.h"
#include "search/tables.h"

static constexpr uint8_t BigBookBit = 1;
static constexpr uint8_t WholeImageBit = 2;
static constexpr uint8_t KeyedBit = 4;
static constexpr int ProbeShift = 3;
static constexpr int KeyBytes = 8;  // key low, then key high, lowest byte first

// Probe positions: the start, a reply to 1.e4, and promotions with captures for each side.
static const char* const probePositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
    "n1n4k/1P1P4/8/8/8/8/1p1p4/N1N4K w - -",
    "n1n4k/1P1P4/8/8/8/8/1p1p4/N1N4K b - -",
};

static Engine& TheEngine() {
    static std::unique_ptr<Engine> engine = NewFuzzEngine();
    return *engine;
}

// An image of exactly bytes bytes: the payload repeated, every record keyed when asked.
static std::vector<uint8_t> WholeImage(const uint8_t* payload, size_t size, long bytes,
                                       int recordBytes, bool keyed, uint64_t key) {
    std::vector<uint8_t> image(size_t(bytes), 0);
    if (size > 0) {
        // The payload, then the filled part copied after itself until the image is full.
        size_t filled = std::min(size, image.size());
        std::memcpy(image.data(), payload, filled);
        while (filled < image.size()) {
            size_t n = std::min(filled, image.size() - filled);
            std::memcpy(image.data() + filled, image.data(), n);
            filled += n;
        }
    }
    if (keyed) {
        uint8_t keyBytes[KeyBytes];
        for (int b = 0; b < KeyBytes; b++)
            keyBytes[b] = uint8_t(key >> (8 * b));
        for (size_t record = 0; record < image.size(); record += size_t(recordBytes))
            std::memcpy(image.data() + record, keyBytes, KeyBytes);
    }
    return image;
}

template <typename Entry>
static bool SameBytes(const Entry* a, const Entry* b, int count) {
    return std::equal(reinterpret_cast<const uint8_t*>(a),
                      reinterpret_cast<const uint8_t*>(a + count),
                      reinterpret_cast<const uint8_t*>(b));
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SilenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    Engine& e = TheEngine();
    EmptyScratchFolder();
    const uint8_t mode = data[0];
    const bool big = mode & BigBookBit;
    const char* fen = probePositions[(mode >> ProbeShift) % 4];
    if (!SetUpEpdPosition(e, fen, 0))
        FuzzFailure("probe position refused");

    const uint8_t* payload = data + 1;
    size_t payloadSize = size - 1;
    std::vector<uint8_t> image;
    if (mode & WholeImageBit) {
        image = big ? WholeImage(payload, payloadSize, BigBookImageBytes, BigBookEntryBytes,
                                 mode & KeyedBit, e.pos.hashKey)
                    : WholeImage(payload, payloadSize, SmallBookImageBytes, SmallBookEntryBytes,
                                 mode & KeyedBit, e.pos.hashKey);
        payload = image.data();
        payloadSize = image.size();
    }

    std::fill(e.book.smallBook, e.book.smallBook + SmallBookSize, SmallBookEntry{});
    ClearBigBook(e);
    bool loaded;
    if (big) {
        std::string path = WriteScratchFile(BigBookImageName, payload, payloadSize);
        loaded = LoadBigBook(e, path.c_str());
    } else {
        WriteScratchFile(SmallBookImageName, payload, payloadSize);
        LoadSmallBook(e, ScratchFolder(), nullptr);  // no text to fall back on
        loaded = payloadSize == size_t(SmallBookImageBytes);
    }

    GenerateMoves(e.pos);
    Move m;
    e.book.useBook = 1;
    if (ProbeBook(e, &m) != BookSource::None && !IsLegalHere(e, m))
        FuzzFailure("book move %06x not legal in %s", m, fen);
    BookText(e);
    std::string defect(CheckPosition(e.pos));
    if (!defect.empty())
        FuzzFailure("inconsistent position after probing: %s", defect.c_str());
    if (!loaded)
        return 0;

    // A loaded book saves and loads back unchanged.
    std::string copy = std::string(ScratchFolder()) + "/copy.bin";
    if (big) {
        static std::unique_ptr<BigBookEntry[]> table = std::make_unique<BigBookEntry[]>(BigBookSize);
        if (SaveBigBookImage(e.book.bigBook.get(), copy.c_str()) != ImageSaved ||
            LoadBigBookImage(table.get(), copy.c_str()) != ImageLoaded)
            FuzzFailure("big book image does not save and load");
        if (!SameBytes(table.get(), e.book.bigBook.get(), BigBookSize))
            FuzzFailure("big book changed by saving and loading");
    } else {
        static SmallBookEntry table[SmallBookSize];
        if (SaveSmallBookImage(e.book.smallBook, copy.c_str()) != ImageSaved ||
            LoadSmallBookImage(table, copy.c_str()) != ImageLoaded)
            FuzzFailure("small book image does not save and load");
        if (!SameBytes(table, e.book.smallBook, SmallBookSize))
            FuzzFailure("small book changed by saving and loading");
    }
    return 0;
}
