#include "connectors/backends/lazylibrary.h"

#include "common/error.h"

#include <dlfcn.h>

namespace quendra {

void* LazyLibrary::symbol(const char* name)
{
    if (!m_handle) {
        m_handle = dlopen(m_soname, RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            throw Error(errnum::FileNotFound, {},
                        QStringLiteral("Die Bibliothek %1 für %2-Dateien kann nicht geladen "
                                       "werden: %3")
                            .arg(QString::fromLatin1(m_soname), QString::fromLatin1(m_fileType),
                                 QString::fromLocal8Bit(dlerror())));
    }
    void* address = dlsym(m_handle, name);
    if (!address)
        throw Error(errnum::FileNotFound, {},
                    QStringLiteral("Der Bibliothek %1 für %2-Dateien fehlt die Funktion %3.")
                        .arg(QString::fromLatin1(m_soname), QString::fromLatin1(m_fileType),
                             QString::fromLatin1(name)));
    return address;
}

} // namespace quendra
