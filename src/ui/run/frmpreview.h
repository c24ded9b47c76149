#pragma once

#include "engine/definition.h"
#include "engine/runoptions.h"

#include <QDialog>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace quendra::ui {

// "Vorschau – TRANSID" and "Prüflauf – TRANSID": one row per source record (a check run:
// per faulty record) with its number, the source values, the target line as it will be
// written and the record's error with record and field (in a check run right after the
// number), then the check lines; the columns are as wide as their contents and scroll
// sideways. Under the list the chosen record
// stands whole, field by field, with its whole error box; then the run's warnings and a
// status line that says that nothing was written (and where a stopped run stopped).
// The target line shows the bytes the run writes: blanks as "·", each field on a
// background of its own, characters written otherwise than composed (the target's code
// page lacks them) marked red, and a fixed-length target gets a column ruler above.
class frmPreview : public QDialog, public RunObserver {
    Q_OBJECT
public:
    frmPreview(RunMode mode, const QString& transId, QWidget* parent = nullptr);

    void start(const Definition& definition) override;
    void record(const RecordOutcome& outcome) override;
    // After the run (also after a stop): the check lines, warnings and the status line.
    void finish(const RunResult& result);

    // The bytes the run writes for a record, as the window shows them (rich text): a text
    // target's line in its code page, a database target's columns and values.
    QString targetLine(const RecordOutcome& outcome) const;
    QString status() const;
    QTableWidget* table() const { return m_table; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addRow(const QString& number, const QString& source, const QString& target,
                const QString& error);
    void showDetail(int row);

    RunMode m_mode;
    Definition m_def;
    QTableWidget* m_table;
    QPlainTextEdit* m_detail;
    QLabel* m_warnings;
    QLabel* m_status;
    std::vector<RecordOutcome> m_records; // the records listed, by row (after the ruler)
    int m_firstRecordRow = 0;
    int m_errorWidth = 0;   // the error column's width by its contents
    qint64 m_faultRows = 0; // faulty records listed
};

} // namespace quendra::ui
