#pragma once

// What every harness shares (each includes it once): a Qt application object, German regional
// settings, a private folder for the files a harness writes, and a check that stops the fuzzer with
// a readable message when two ways of computing the same thing disagree.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quendra::fuzz {

// A folder of this process, removed when it ends.
inline QString workDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

inline void writeFile(const QString& path, const char* data, std::size_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(data, qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

// Text from input bytes: ASCII as it is, other bytes one of a few characters that
// readers must not mistake for digits, blanks or separators.
inline QString textOf(const std::vector<std::uint8_t>& bytes)
{
    static const char16_t Other[] = {u'\u00A0', u'\u20AC', u'\u2212',
                                     u'\uFF11', u'\u0661', u'\u00E4',
                                     u'\u00B2', u'\u2009', char16_t(0xD800) /* lone surrogate */,
                                     u'\uFFFD'};
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (const std::uint8_t b : bytes)
        text += b < 0x80 ? QChar(char16_t(b)) : QChar(Other[b % std::size(Other)]);
    return text;
}

// Aborts (the fuzzer keeps the input as a crash) when cond is false.
#define FUZZ_CHECK(cond, ...)                                                                      \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "check failed: %s\n", #cond);                                     \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

} // namespace quendra::fuzz

// libFuzzer calls this once before the first input (the replay program does too): a Qt
// application object and German regional settings, as the programs have them.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "quendra-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return 0;
}
