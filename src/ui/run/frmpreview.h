#pragma once

#include "engine/definition.h"
#include "engine/runoptions.h"

#include <QDialog>
#include <vector>

class QLabel;
class QTableWidget;

namespace quendra::ui {

// "Vorschau – TRANSID" and "Prüflauf – TRANSID": one row per source record (a check run:
// per faulty record) with its number, the source values, the target line as it will be
// written and the record's error, then the check lines; a status line says that nothing
// was written. In the target line blanks show as "·", each field has a background of its
// own, characters the target's code page cannot hold are marked red, and a fixed-length
// target gets a column ruler above its lines.
class frmPreview : public QDialog, public RunObserver {
    Q_OBJECT
public:
    frmPreview(RunMode mode, const QString& transId, QWidget* parent = nullptr);

    void start(const Definition& definition) override;
    void record(const RecordOutcome& outcome) override;
    // After the run: the check lines and the status line.
    void finish(const RunResult& result);

    // The target line as the window shows it, as rich text.
    QString targetLine(const std::vector<QString>& values) const;
    QString status() const;
    QTableWidget* table() const { return m_table; }

private:
    void addRow(const QString& number, const QString& source, const QString& target,
                const QString& error);

    RunMode m_mode;
    Definition m_def;
    QTableWidget* m_table;
    QLabel* m_status;
    qint64 m_faultRows = 0; // faulty records listed
};

} // namespace quendra::ui
