#include "adjust/ByteTables.h"

#include "common/Frame.h"

#include <bit>
#include <cstring>

// The word-at-a-time loops below take byte 0 of a word from its low bits.
static_assert(std::endian::native == std::endian::little);

void ApplyByteTable(Frame& frame, const ByteTable& table)
{
    if (frame.isEmpty())
        return;
    // Every byte of every pixel gets the same table, so the whole buffer is
    // one run (the row padding is rewritten too, which nobody reads). Eight
    // bytes are gathered into one word so that there is one load and one
    // store per eight lookups.
    uint8_t* p = frame.bits();
    const size_t count = frame.byteCount();
    const uint8_t* t = table.data();
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t in;
        std::memcpy(&in, p + i, 8);
        const uint64_t out = uint64_t(t[in & 0xFF])
            | uint64_t(t[(in >> 8) & 0xFF]) << 8
            | uint64_t(t[(in >> 16) & 0xFF]) << 16
            | uint64_t(t[(in >> 24) & 0xFF]) << 24
            | uint64_t(t[(in >> 32) & 0xFF]) << 32
            | uint64_t(t[(in >> 40) & 0xFF]) << 40
            | uint64_t(t[(in >> 48) & 0xFF]) << 48
            | uint64_t(t[in >> 56]) << 56;
        std::memcpy(p + i, &out, 8);
    }
    for (; i < count; ++i)
        p[i] = t[p[i]];
}

void ApplyChannelTables(Frame& frame, const ByteTable& blue, const ByteTable& green,
                        const ByteTable& red)
{
    const uint8_t* tb = blue.data();
    const uint8_t* tg = green.data();
    const uint8_t* tr = red.data();
    const int width = frame.width();
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        int x = 0;
        // Four pixels (twelve bytes) per step: one 8-byte and one 4-byte
        // word, whose byte positions cycle through blue, green, red.
        for (; x + 4 <= width; x += 4, p += 12) {
            uint64_t a;
            uint32_t b;
            std::memcpy(&a, p, 8);
            std::memcpy(&b, p + 8, 4);
            const uint64_t outA = uint64_t(tb[a & 0xFF])
                | uint64_t(tg[(a >> 8) & 0xFF]) << 8
                | uint64_t(tr[(a >> 16) & 0xFF]) << 16
                | uint64_t(tb[(a >> 24) & 0xFF]) << 24
                | uint64_t(tg[(a >> 32) & 0xFF]) << 32
                | uint64_t(tr[(a >> 40) & 0xFF]) << 40
                | uint64_t(tb[(a >> 48) & 0xFF]) << 48
                | uint64_t(tg[a >> 56]) << 56;
            const uint32_t outB = uint32_t(tr[b & 0xFF])
                | uint32_t(tb[(b >> 8) & 0xFF]) << 8
                | uint32_t(tg[(b >> 16) & 0xFF]) << 16
                | uint32_t(tr[b >> 24]) << 24;
            std::memcpy(p, &outA, 8);
            std::memcpy(p + 8, &outB, 4);
        }
        for (; x < width; ++x, p += 3) {
            p[0] = tb[p[0]];
            p[1] = tg[p[1]];
            p[2] = tr[p[2]];
        }
    }
}

bool IsIdentityTable(const ByteTable& table)
{
    for (int i = 0; i < 256; ++i)
        if (table[i] != i)
            return false;
    return true;
}
