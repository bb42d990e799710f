#include "adjust/ByteTables.h"

#include "common/Frame.h"

#include <atomic>
#include <bit>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QOR_HAVE_VBMI_PATH 1
#endif

// The word-at-a-time loops below take byte 0 of a word from its low bits.
static_assert(std::endian::native == std::endian::little);

namespace {

std::atomic<bool> simdAllowed{true};

// ---------------------------------------------------------------- portable

void TableRun(uint8_t* p, size_t count, const uint8_t* t)
{
    // Eight bytes are gathered into one word so that there is one load and
    // one store per eight lookups.
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

void ChannelRow(uint8_t* p, int width, const uint8_t* tb, const uint8_t* tg, const uint8_t* tr)
{
    int x = 0;
    // Four pixels (twelve bytes) per step: one 8-byte and one 4-byte word,
    // whose byte positions cycle through blue, green, red.
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

// ---------------------------------------------------- AVX-512 VBMI (x86-64)
//
// vpermi2b looks up 64 bytes at once in a 128-byte table; two of them and a
// blend on the index's top bit cover all 256 entries.

#ifdef QOR_HAVE_VBMI_PATH

#define QOR_VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// The lowest n bits set (n <= 64): the lanes of a partial block.
inline __mmask64 FirstLanes(size_t n)
{
    return n >= 64 ? ~__mmask64(0) : (__mmask64(1) << n) - 1;
}

struct VbmiTable {
    __m512i q0, q1, q2, q3;
};

QOR_VBMI_TARGET inline VbmiTable LoadVbmiTable(const uint8_t* t)
{
    return {_mm512_loadu_si512(t), _mm512_loadu_si512(t + 64), _mm512_loadu_si512(t + 128),
            _mm512_loadu_si512(t + 192)};
}

QOR_VBMI_TARGET inline __m512i LookUp(const VbmiTable& t, __m512i v)
{
    const __m512i low = _mm512_permutex2var_epi8(t.q0, v, t.q1);
    const __m512i high = _mm512_permutex2var_epi8(t.q2, v, t.q3);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
}

QOR_VBMI_TARGET void TableRunVbmi(uint8_t* p, size_t count, const uint8_t* table)
{
    const VbmiTable t = LoadVbmiTable(table);
    size_t i = 0;
    for (; i + 64 <= count; i += 64)
        _mm512_storeu_si512(p + i, LookUp(t, _mm512_loadu_si512(p + i)));
    if (i < count) {
        const __mmask64 tail = FirstLanes(count - i);
        _mm512_mask_storeu_epi8(p + i, tail, LookUp(t, _mm512_maskz_loadu_epi8(tail, p + i)));
    }
}

// Byte k of a row belongs to channel k mod 3. A 64-byte block starting at
// byte offset o (o mod 3 = phase) has its channel masks shifted by the phase.
struct ChannelMasks {
    __mmask64 green[3];
    __mmask64 red[3];
};

ChannelMasks MakeChannelMasks()
{
    ChannelMasks m{};
    for (int phase = 0; phase < 3; ++phase)
        for (int k = 0; k < 64; ++k) {
            const int channel = (phase + k) % 3;
            if (channel == 1)
                m.green[phase] |= __mmask64(1) << k;
            if (channel == 2)
                m.red[phase] |= __mmask64(1) << k;
        }
    return m;
}

QOR_VBMI_TARGET void ChannelRowsVbmi(Frame& frame, const uint8_t* tb, const uint8_t* tg, const uint8_t* tr)
{
    static const ChannelMasks masks = MakeChannelMasks();
    const VbmiTable b = LoadVbmiTable(tb);
    const VbmiTable g = LoadVbmiTable(tg);
    const VbmiTable r = LoadVbmiTable(tr);
    const size_t rowBytes = size_t(frame.width()) * 3;
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        for (size_t i = 0; i < rowBytes; i += 64) {
            const __mmask64 keep = FirstLanes(rowBytes - i);
            const __m512i v = _mm512_maskz_loadu_epi8(keep, p + i);
            const int phase = int(i % 3);
            __m512i out = LookUp(b, v);
            out = _mm512_mask_blend_epi8(masks.green[phase], out, LookUp(g, v));
            out = _mm512_mask_blend_epi8(masks.red[phase], out, LookUp(r, v));
            _mm512_mask_storeu_epi8(p + i, keep, out);
        }
    }
}

bool UseVbmi()
{
    static const bool supported = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
    return supported && simdAllowed.load(std::memory_order_relaxed);
}

#endif // QOR_HAVE_VBMI_PATH

} // namespace

void SetByteTableSimdEnabled(bool enabled)
{
    simdAllowed.store(enabled);
}

void ApplyByteTable(Frame& frame, const ByteTable& table)
{
    if (frame.isEmpty())
        return;
    // Every byte of every pixel gets the same table, so the whole buffer is
    // one run (the row padding is rewritten too, which nobody reads).
#ifdef QOR_HAVE_VBMI_PATH
    if (UseVbmi()) {
        TableRunVbmi(frame.bits(), frame.byteCount(), table.data());
        return;
    }
#endif
    TableRun(frame.bits(), frame.byteCount(), table.data());
}

void ApplyChannelTables(Frame& frame, const ByteTable& blue, const ByteTable& green,
                        const ByteTable& red)
{
    if (frame.isEmpty())
        return;
#ifdef QOR_HAVE_VBMI_PATH
    if (UseVbmi()) {
        ChannelRowsVbmi(frame, blue.data(), green.data(), red.data());
        return;
    }
#endif
    for (int y = 0; y < frame.height(); ++y)
        ChannelRow(frame.row(y), frame.width(), blue.data(), green.data(), red.data());
}

bool IsIdentityTable(const ByteTable& table)
{
    for (int i = 0; i < 256; ++i)
        if (table[i] != i)
            return false;
    return true;
}
