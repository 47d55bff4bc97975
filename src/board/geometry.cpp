// Start-up tables: square geometry, direction lookups, byte masks and piece weights.
#include "board/geometry.h"

#include <cstdlib>
#include <cstring>

int8_t rankOf[120];
int8_t fileOf[120];
int8_t directionTable[99][99];
int32_t knightOffsetTable[160];
uint8_t bitCount[256];
uint8_t lowestClearBit[256];
uint8_t highestClearBit[256];
uint8_t openSpan[256];
int8_t bitDirection[256];
uint16_t anySliderRayBits[23];
uint16_t bishopRayBits[23];
uint16_t rookRayBits[23];
uint16_t queenRayBits[23];
int32_t pieceValue[8];
int32_t signedPieceValue[15];
int32_t attackerWeight[8];
int32_t centreTable[120];
int32_t rookMobilityWeight[120];
int32_t bishopMobilityWeight[120];
int32_t pawnBlockingWeight[120];
int32_t knightSquareValue[120];

// Centre weights of one half board, by rank 1..4 (mirrored for 5..8) and file a..h.
static constexpr int centreRows[4][8] = {
    {2, 3, 4, 4, 4, 4, 3, 2},
    {3, 6, 8, 8, 8, 8, 6, 3},
    {4, 8, 12, 12, 12, 12, 8, 4},
    {4, 8, 12, 14, 14, 12, 8, 4},
};

static void InitSquares() {
    std::memset(rankOf, 0, sizeof rankOf);
    std::memset(fileOf, 0, sizeof fileOf);
    for (int file = 1; file <= 8; file++)
        for (int rank = 1; rank <= 8; rank++) {
            int sq = MakeSquare(rank, file);
            rankOf[sq] = int8_t(rank);
            fileOf[sq] = int8_t(file);
        }
}

static void InitKnightOffsets() {
    std::memset(knightOffsetTable, 0, sizeof knightOffsetTable);
    for (int step : knightSteps)
        knightOffsetTable[step + 80] = 1;
}

// A border cell lines up with the playing squares its positive walks reach.
static void InitDirections() {
    std::memset(directionTable, 0, sizeof directionTable);
    static constexpr int positiveDirs[4] = {1, 10, 9, 11};
    for (int s = SqA1; s <= SqH8; s++)
        for (int d : positiveDirs)
            for (int t = s + d; t <= 98 && !IsBorder(t); t += d) {
                directionTable[s][t] = int8_t(d);
                directionTable[t][s] = int8_t(-d);
            }
}

static int RunFromBottom(int b) {
    int n = 0;
    while (n < 4 && (b >> n) & 1)
        n++;
    return n;
}

static int RunFromTop(int b) {
    int n = 0;
    while (n < 4 && (b >> (7 - n)) & 1)
        n++;
    return n;
}

static void InitByteMasks() {
    for (int b = 0; b < 256; b++) {
        bitCount[b] = uint8_t(__builtin_popcount(unsigned(b)));
        int low = 0, high = 0;
        for (int i = 0; i < 8; i++)
            if (!((b >> i) & 1)) {
                if (!low)
                    low = i + 1;
                high = i + 1;
            }
        lowestClearBit[b] = uint8_t(low);
        highestClearBit[b] = uint8_t(high);
        openSpan[b] = uint8_t(8 - RunFromBottom(b) - RunFromTop(b));
    }
    lowestClearBit[255] = 0;
    highestClearBit[255] = 0;
}

static void InitRayBits() {
    std::memset(anySliderRayBits, 0, sizeof anySliderRayBits);
    std::memset(bishopRayBits, 0, sizeof bishopRayBits);
    std::memset(rookRayBits, 0, sizeof rookRayBits);
    std::memset(queenRayBits, 0, sizeof queenRayBits);
    struct RayBit { int dir; uint16_t bit; };
    static constexpr RayBit rays[8] = {
        {9, 0x0001}, {-11, 0x0002}, {11, 0x0004}, {-9, 0x0008},
        {10, 0x0010}, {-10, 0x0020}, {-1, 0x0040}, {1, 0x0080},
    };
    std::memset(bitDirection, 0, sizeof bitDirection);
    for (const RayBit& r : rays) {
        int i = r.dir + 11;
        if (r.bit <= 0x0008)
            bishopRayBits[i] = r.bit;
        else
            rookRayBits[i] = r.bit;
        queenRayBits[i] = uint16_t(r.bit << 8);
        anySliderRayBits[i] = uint16_t(r.bit | (r.bit << 8));
        bitDirection[r.bit] = int8_t(r.dir);
    }
}

static void InitPieceTables() {
    static constexpr int values[8] = {0, PawnValue, KnightValue, BishopValue, RookValue, QueenValue, KingValue, 0};
    static constexpr int weights[8] = {0, 12, 8, 8, 4, 1, 0, 0};
    for (int c = 0; c < 8; c++) {
        pieceValue[c] = values[c];
        attackerWeight[c] = weights[c];
    }
    for (int c = -7; c <= 7; c++)
        signedPieceValue[c + 7] = c < 0 ? -values[-c] : values[c];
}

static void InitCentreTables() {
    std::memset(centreTable, 0, sizeof centreTable);
    for (int sq = SqA1; sq <= SqH8; sq++) {
        if (IsBorder(sq))
            continue;
        int rank = rankOf[sq];
        int row = rank <= 4 ? rank - 1 : 8 - rank;
        centreTable[sq] = centreRows[row][fileOf[sq] - 1];
    }
    for (int sq = 0; sq < 120; sq++) {
        rookMobilityWeight[sq] = 4 * centreTable[sq];
        bishopMobilityWeight[sq] = 8 * centreTable[sq];
        pawnBlockingWeight[sq] = 4 * centreTable[sq];
    }
    std::memset(knightSquareValue, 0, sizeof knightSquareValue);
    for (int sq = SqA1; sq <= SqH8; sq++) {
        if (IsBorder(sq))
            continue;
        int sum = 0;
        for (int step : knightSteps) {
            int t = sq + step;
            if (t >= 0 && t < 120)
                sum += centreTable[t];
        }
        knightSquareValue[sq] = attackerWeight[Knight] * sum;
    }
}

void InitGeometry() {
    InitSquares();
    InitKnightOffsets();
    InitDirections();
    InitByteMasks();
    InitRayBits();
    InitPieceTables();
    InitCentreTables();
}

