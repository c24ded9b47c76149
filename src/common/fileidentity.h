#pragma once

#include <QString>
#include <optional>

namespace quendra {

// Device and inode of a regular file: two paths with the same identity name the same
// file, whatever their spelling, symbolic or hard links.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file at path; nullopt when there is none (no file, a
// folder, a terminal or a pipe).
std::optional<FileIdentity> fileIdentity(const QString& path);

} // namespace quendra
