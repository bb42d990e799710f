#pragma once
// Applying 256-entry lookup tables to 24-bit frames: the common inner loop of
// the per-byte adjustments (gamma, contrast, colour balance, brightness).
// Both helpers work in place; a table lookup gives the same result whether it
// reads from a copy or from the pixel it overwrites.

#include <array>
#include <cstdint>

class Frame;

using ByteTable = std::array<uint8_t, 256>;

// The same table for blue, green and red.
void ApplyByteTable(Frame& frame, const ByteTable& table);

// One table per channel (the bytes are stored blue, green, red).
void ApplyChannelTables(Frame& frame, const ByteTable& blue, const ByteTable& green,
                        const ByteTable& red);

// The lookups use AVX-512 VBMI byte permutes where the CPU has them and a
// portable loop elsewhere; both give the same bytes. Tests and benchmarks
// switch the SIMD path off to compare.
void SetByteTableSimdEnabled(bool enabled);

// True when the table maps every value to itself (the caller can skip the pass).
bool IsIdentityTable(const ByteTable& table);
