#pragma once

#include "engine/definition.h"
#include "engine/runoptions.h"

#include <QString>
#include <memory>

namespace quendra {

class ProgressSink;

// One conversion run. Creating the object loads the definition of transId from init.mdb
// (throws quendra::Error when it cannot); RunConvert then reads every source record,
// composes one target record per source record and writes it.
class clsFileConvert {
public:
    // progress may be nullptr (no display); it is not owned.
    explicit clsFileConvert(const QString& transId, ProgressSink* progress = nullptr);
    ~clsFileConvert();

    QString getFromDelimiter() const;
    QString getFromTable() const;
    QString getFromFileType() const;
    qint16 getFromIndex(QStringView field) const; // 1..n, 0 when no source field matches
    Medium getFromMedium() const;
    QString getFromPath() const;
    QString getFromSQLString() const;
    const QString& getFromValue(qint16 index) const; // error 9 outside 1..n
    qint16 getToIndex(QStringView field) const;      // 1..m, 0 when no target field matches

    // Runs the whole conversion, or previews or checks it (options.mode). Errors do not
    // leave it: the run ends and says how (where-text clsFileConvert.RunConvert, with the
    // record and field as its note); a preview or check run lists a faulty record and goes
    // on with the next.
    RunResult RunConvert(const RunOptions& options = {});
    // Composes (writeOnly false) and writes one target record; with writeOnly true the
    // current target values are written as they are.
    void runTargedConvert(bool writeOnly);
    void setFromValue(QStringView value);
    void setToValue(QStringView field, const QString& value); // error for an unknown field

    const Definition& definition() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quendra
