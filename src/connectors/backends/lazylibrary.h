#pragma once

namespace quendra {

// A shared library that is opened at the first call into it, so that a run that never
// touches its file type neither loads it nor the libraries it pulls in (pxlib brings
// libgsf, GIO and libxml2 along): start-up stays short for every run.
class LazyLibrary {
public:
    // soname: the library's file name; fileType: the file type it serves, for messages.
    // Constant: a library object at namespace scope is ready before any code runs.
    constexpr LazyLibrary(const char* soname, const char* fileType)
        : m_soname(soname), m_fileType(fileType)
    {
    }
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // The address of name in the library; opens the library at the first request.
    // Throws quendra::Error when the library or the name is missing.
    void* symbol(const char* name);

    // The function name of the library, typed as Fn, resolved once per call site.
    template <class Fn> Fn function(const char* name) { return reinterpret_cast<Fn>(symbol(name)); }

private:
    const char* m_soname;
    const char* m_fileType;
    void* m_handle = nullptr;
};

} // namespace quendra

// The body of a stand-in for the library function name: looks it up in library (a
// LazyLibrary&) at its first call and hands it the arguments.
#define QUENDRA_LAZY_CALL(library, name, ...)                                                      \
    static const auto fn = (library).function<decltype(&name)>(#name);                             \
    return fn(__VA_ARGS__)
