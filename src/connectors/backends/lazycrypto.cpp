// SHA-256 through OpenSSL's libcrypto, loaded at the first use (see LazyLibrary), with Qt's
// own code as the fallback when the library is missing.
#include "connectors/backends/lazylibrary.h"
#include "connectors/backends/sha256.h"

#include <QCryptographicHash>
#include <openssl/evp.h>

namespace quendra {

namespace {

constinit LazyLibrary libcrypto("libcrypto.so.3", "Prüfsummen");

// The four functions of libcrypto a digest needs; nullptr when the library is missing.
struct CryptoApi {
    decltype(&EVP_MD_CTX_new) newContext;
    decltype(&EVP_MD_CTX_free) freeContext;
    decltype(&EVP_DigestInit_ex) init;
    decltype(&EVP_DigestUpdate) update;
    decltype(&EVP_DigestFinal_ex) final;
    decltype(&EVP_sha256) sha256;
};

const CryptoApi* cryptoApi()
{
    // Resolved once, by whichever thread comes first; the others wait for it.
    static const std::unique_ptr<CryptoApi> api = []() -> std::unique_ptr<CryptoApi> {
        try {
            return std::make_unique<CryptoApi>(
                CryptoApi{libcrypto.function<decltype(&EVP_MD_CTX_new)>("EVP_MD_CTX_new"),
                          libcrypto.function<decltype(&EVP_MD_CTX_free)>("EVP_MD_CTX_free"),
                          libcrypto.function<decltype(&EVP_DigestInit_ex)>("EVP_DigestInit_ex"),
                          libcrypto.function<decltype(&EVP_DigestUpdate)>("EVP_DigestUpdate"),
                          libcrypto.function<decltype(&EVP_DigestFinal_ex)>("EVP_DigestFinal_ex"),
                          libcrypto.function<decltype(&EVP_sha256)>("EVP_sha256")});
        } catch (...) {
            return nullptr;
        }
    }();
    return api.get();
}

} // namespace

struct Sha256::Impl {
    const CryptoApi* api = cryptoApi();
    EVP_MD_CTX* context = nullptr;
    std::unique_ptr<QCryptographicHash> qt;
};

Sha256::Sha256() : d(std::make_unique<Impl>())
{
    if (d->api) {
        d->context = d->api->newContext();
        if (d->context && d->api->init(d->context, d->api->sha256(), nullptr) == 1)
            return;
        d->api->freeContext(d->context);
        d->context = nullptr;
    }
    d->qt = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
}

Sha256::~Sha256()
{
    if (d->context)
        d->api->freeContext(d->context);
}

void Sha256::add(const void* bytes, std::size_t size)
{
    if (d->context)
        d->api->update(d->context, bytes, size);
    else
        d->qt->addData(QByteArrayView(static_cast<const char*>(bytes), qsizetype(size)));
}

QByteArray Sha256::hexResult()
{
    if (!d->context)
        return d->qt->result().toHex();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    d->api->final(d->context, digest, &length);
    return QByteArray(reinterpret_cast<const char*>(digest), qsizetype(length)).toHex();
}

} // namespace quendra
