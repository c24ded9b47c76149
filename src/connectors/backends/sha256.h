#pragma once

#include <QByteArray>
#include <cstddef>
#include <memory>

namespace quendra {

// The SHA-256 of a stream of bytes, as sha256sum prints it. Computed by OpenSSL's libcrypto,
// which is opened at the first use (it uses the processor's SHA instructions and is several
// times faster than Qt's own code); where that library cannot be loaded, by Qt.
// One object per stream; it may be handed to another thread, not shared between two.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(const void* bytes, std::size_t size);
    // The 64 lowercase hexadecimal digits of the bytes added so far; the object is spent.
    QByteArray hexResult();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quendra
