#include "engine/headconnection.h"

#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "connectors/databasetarget.h"
#include "connectors/filetypes.h"

namespace quendra {

HeadSource openSource(const SrcHead& head, std::size_t sourceFields, bool forwardOnly)
{
    checkMedium(head.frommedium, HeadSide::Source);
    HeadSource s;
    if (head.frommedium == Medium::TextFile) {
        auto file = std::make_unique<clsFSConnect>();
        file->setEncoding(head.encoding);
        file->initReading(head.path, head.delimiter, sourceFields);
        s.reader = std::move(file);
    } else {
        s.reader = openDatabaseSource(head, forwardOnly);
    }
    s.fieldCount = s.reader->fieldCount();
    return s;
}

std::unique_ptr<clsADOConnect> openDatabaseSource(const SrcHead& head, bool forwardOnly)
{
    checkFileType(head.frommedium, head.filetype);
    auto database = std::make_unique<clsADOConnect>();
    database->setSource(describeConnection(head.frommedium, head.path, head.filetype,
                                           head.header != 0, head.encoding));
    if (!head.sqlstring.isEmpty())
        database->setSQL(head.sqlstring);
    if (!head.dbtable.isEmpty())
        database->setTable(head.dbtable);
    database->setForwardOnly(forwardOnly);
    database->init();
    return database;
}

std::unique_ptr<clsFSConnect> openTextTarget(const TrgHead& head, LineTarget target)
{
    auto file = std::make_unique<clsFSConnect>();
    file->initWriting(head.path, target, head.delimiter);
    file->setEncoding(head.encoding);
    return file;
}

std::unique_ptr<DatabaseTarget> openDatabaseTarget(const TrgHead& head, const QStringList& columns,
                                                   bool wholeRun)
{
    return std::make_unique<DatabaseTarget>(
        describeConnection(head.frommedium, head.path, head.filetype, head.header != 0),
        head.dbtable, columns, wholeRun);
}

bool takesWholeRun(const TrgHead& head)
{
    return canWriteInOneTransaction(
        describeConnection(head.frommedium, head.path, head.filetype, false));
}

} // namespace quendra
