// Placeholder for the database connector until its back-ends exist: every opening
// fails with a clear error.
#include "connectors/clsadoconnect.h"

#include "common/error.h"

#include <QAbstractItemModel>

namespace quendra {

struct clsADOConnect::Impl {};

namespace {
[[noreturn]] void unsupported(const char* where)
{
    raiseError(errnum::Unsupported, {},
               QStringLiteral("Datenbankquellen und -ziele sind in dieser Version noch nicht verfügbar."),
               QString::fromLatin1(where));
}
} // namespace

clsADOConnect::clsADOConnect(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}
clsADOConnect::~clsADOConnect() = default;
void clsADOConnect::setSource(const QString&) {}
void clsADOConnect::setTable(const QString&) {}
void clsADOConnect::setSQL(const QString&) {}
void clsADOConnect::init() { unsupported("clsADOConnect.init"); }
bool clsADOConnect::isEOF() const { return true; }
qint64 clsADOConnect::AbsolutePosition() const { return -1; }
void clsADOConnect::MoveFirst() { unsupported("clsADOConnect.MoveFirst"); }
void clsADOConnect::MoveLast() {}
void clsADOConnect::MoveNext() { unsupported("clsADOConnect.MoveNext"); }
void clsADOConnect::MovePrevious() {}
int clsADOConnect::fieldCount() const { return 0; }
QStringView clsADOConnect::getField(int) const { unsupported("clsADOConnect.getField"); }
DatabaseRecord& clsADOConnect::record() { unsupported("clsADOConnect.record"); }
bool clsADOConnect::EditingRecord() const { return false; }
void clsADOConnect::AddNew() { unsupported("clsADOConnect.AddNew"); }
void clsADOConnect::Delete() { unsupported("clsADOConnect.Delete"); }
void clsADOConnect::update() { unsupported("clsADOConnect.Update"); }
void clsADOConnect::Cancel() {}
void clsADOConnect::Requery() { unsupported("clsADOConnect.Requery"); }
QAbstractItemModel* clsADOConnect::dataMember(const QString&) { return nullptr; }
QString clsADOConnect::replSQLTable(const QString& sql) { return sql; }

} // namespace quendra
