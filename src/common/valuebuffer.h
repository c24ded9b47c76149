#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace quendra {

// Value buffers keep their capacity from record to record: these write into them with
// one size change and a plain copy. The text must not point into the buffer itself.

// Copies n characters. Values are short: up to 16 characters move in two overlapping
// fixed-size copies that the compiler turns into a few moves, instead of a library call.
inline void copyChars(QChar* out, const QChar* in, qsizetype n)
{
    const auto bytes = std::size_t(n) * sizeof(QChar);
    const auto fixed = [&](auto size) {
        std::memcpy(out, in, size);
        std::memcpy(reinterpret_cast<char*>(out) + bytes - size,
                    reinterpret_cast<const char*>(in) + bytes - size, size);
    };
    if (bytes > 32)
        std::memcpy(out, in, bytes);
    else if (bytes >= 16)
        fixed(std::integral_constant<std::size_t, 16>());
    else if (bytes >= 8)
        fixed(std::integral_constant<std::size_t, 8>());
    else if (bytes >= 4)
        fixed(std::integral_constant<std::size_t, 4>());
    else if (bytes == 2)
        *out = *in;
}

// Whether the n characters at a and b are the same. Short values are compared in two
// overlapping fixed-size loads each, like copyChars copies them, instead of a library call.
inline bool equalChars(const QChar* a, const QChar* b, qsizetype n)
{
    const auto bytes = std::size_t(n) * sizeof(QChar);
    const auto fixed = [&](auto size) {
        using Word = std::conditional_t<size == 8, std::uint64_t, std::uint32_t>;
        Word x[2], y[2];
        std::memcpy(&x[0], a, size);
        std::memcpy(&y[0], b, size);
        std::memcpy(&x[1], reinterpret_cast<const char*>(a) + bytes - size, size);
        std::memcpy(&y[1], reinterpret_cast<const char*>(b) + bytes - size, size);
        return ((x[0] ^ y[0]) | (x[1] ^ y[1])) == 0;
    };
    if (bytes > 16)
        return std::memcmp(a, b, bytes) == 0;
    if (bytes >= 8)
        return fixed(std::integral_constant<std::size_t, 8>());
    if (bytes >= 4)
        return fixed(std::integral_constant<std::size_t, 4>());
    return bytes == 0 || *a == *b;
}

// Sets the length of buffer to n and returns its characters. When the buffer is not
// shared and has room, the length is set in place (with the terminating 0, for which
// QString allocates one unit beyond its capacity, as resize does), saving the library
// call of resize on the path taken for every value.
inline QChar* setLength(QString& buffer, qsizetype n)
{
    auto& d = buffer.data_ptr();
    if (!d.needsDetach() && n <= d.constAllocatedCapacity() - d.freeSpaceAtBegin()) {
        d.size = n;
        d.data()[n] = u'\0';
        return reinterpret_cast<QChar*>(d.data());
    }
    buffer.resize(n);
    return buffer.data();
}

Q_ALWAYS_INLINE void assignView(QString& buffer, QStringView text)
{
    copyChars(setLength(buffer, text.size()), text.data(), text.size());
}

// buffer := first followed by second.
inline void assignJoined(QString& buffer, QStringView first, QStringView second)
{
    QChar* out = setLength(buffer, first.size() + second.size());
    copyChars(out, first.data(), first.size());
    copyChars(out + first.size(), second.data(), second.size());
}

inline bool endsWithBlank(const QString& value)
{
    return !value.isEmpty() && value.back() == QLatin1Char(' ');
}

// Removes the first n characters of value (0 <= n <= size). The rest moves to the front
// of the buffer: QString::remove would only advance the start, and the room given up
// there would be allocated anew for a later, longer value.
inline void removeFront(QString& value, qsizetype n)
{
    if (n == 0)
        return;
    const qsizetype rest = value.size() - n;
    QChar* d = value.data();
    std::memmove(d, d + n, std::size_t(rest) * sizeof(QChar));
    setLength(value, rest);
}

// Removes the blanks at the start of value.
inline void removeLeadingBlanks(QString& value)
{
    qsizetype n = 0;
    while (n < value.size() && value.at(n) == QLatin1Char(' '))
        ++n;
    removeFront(value, n);
}

// "00", "01", ..., "99" side by side.
inline constexpr std::array<char, 200> DigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[std::size_t(2 * i)] = char('0' + i / 10);
        pairs[std::size_t(2 * i + 1)] = char('0' + i % 10);
    }
    return pairs;
}();

// Writes the last count decimal digits of n to out (characters or bytes), zeros in front;
// two at a time, so that a number takes half the divisions.
template <class Char> inline void writeDigits(Char* out, std::uint64_t n, int count)
{
    static_assert(std::is_same_v<Char, QChar> || std::is_same_v<Char, char>);
    const auto digit = [](char c) {
        if constexpr (std::is_same_v<Char, QChar>)
            return QLatin1Char(c);
        else
            return c;
    };
    for (; count >= 2; count -= 2, n /= 100) {
        const char* pair = DigitPairs.data() + 2 * (n % 100);
        out[count - 2] = digit(pair[0]);
        out[count - 1] = digit(pair[1]);
    }
    if (count == 1)
        out[0] = digit(char('0' + n % 10));
}

// 10^0 .. 10^19, every power of ten that 64 bits hold.
inline constexpr std::array<std::uint64_t, 20> PowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t p = 1;
    for (auto& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

// The number of decimal digits of n, 1 for 0. From the bit length (times log10 2, as
// 1233 / 4096, one too few at most) and one comparison, so without a loop whose length
// varies with the number.
inline int decimalDigits(std::uint64_t n)
{
    const int bits = 64 - std::countl_zero(n | 1);
    const int guess = (bits * 1233) >> 12;
    return guess + ((n | 1) >= PowersOfTen[std::size_t(guess)] ? 1 : 0);
}

} // namespace quendra
