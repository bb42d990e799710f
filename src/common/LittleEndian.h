#pragma once
// Little-endian fields of the files we read and write (Brava records, the
// "rinf" record, AVI, BMP, DPX): integers, float and double at a byte
// pointer, and appended to a growing buffer. Unaligned access is fine.

#include <QByteArray>
#include <QtEndian>
#include <bit>
#include <cstdint>
#include <type_traits>

namespace little_endian_detail {
// The unsigned integer with the bytes of T.
template <typename T>
using Bits = std::conditional_t<sizeof(T) == 1, uint8_t,
             std::conditional_t<sizeof(T) == 2, uint16_t,
             std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>>;
} // namespace little_endian_detail

template <typename T>
T ReadLE(const void* p)
{
    static_assert(std::is_arithmetic_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8));
    using Bits = little_endian_detail::Bits<T>;
    return std::bit_cast<T>(qFromLittleEndian<Bits>(p));
}

template <typename T>
void WriteLE(void* p, std::type_identity_t<T> value)
{
    static_assert(std::is_arithmetic_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8));
    using Bits = little_endian_detail::Bits<T>;
    qToLittleEndian<Bits>(std::bit_cast<Bits>(value), p);
}

template <typename T>
void AppendLE(QByteArray& data, std::type_identity_t<T> value)
{
    char bytes[sizeof(T)];
    WriteLE<T>(bytes, value);
    data.append(bytes, qsizetype(sizeof(T)));
}
