#pragma once

// The state of one clsFileConvert object, shared by the files that implement it.
#include "connectors/recordaccess.h"
#include "engine/checktable.h"
#include "engine/clsfileconvert.h"
#include "engine/definition.h"
#include "engine/formatting.h"
#include "engine/runtables.h"
#include "engine/targetwriter.h"
#include "engine/translationcache.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quendra {

// What composition needs to know about a target field, worked out once per run. The
// switches every record reads come first, close together.
struct FieldPlan {
    // The common kinds of field that are composed straight into their slot, without the
    // general steps they do not need; General takes every step.
    enum class Fast : std::uint8_t {
        General,
        Plain, // the source value after a converted default, or the carried value; then
               // only a compact date conversion, blanks, translation and final shape
        Count, // a running number alone
    };
    bool hasDefault = false;
    bool defaultReady = false; // defaultValue already holds the converted default
    bool hasSource = false;    // srcfield is not blank
    bool sourceFormat = false; // the source field has a format (an empty one changes nothing)
    bool carryForward = false; // command "<lastvalue>"
    bool autoCount = false;
    bool toFormat = false;
    bool ltrim = false;
    bool compactDates = false; // compact source date to compact target date, one step
    // The value depends on no record (no source field, no running number) and feeds no
    // check sum: composed for the first record only, then left in its slot.
    bool constant = false;
    int source = -1;             // 0-based source slot; -1 when srcfield matches nothing
    int slot = 0;                // row of the running-number and last-value tables
    ValueShape shape;            // the target field's final shape
    std::optional<qint64> start; // running number start, nothing when not a number
    QString defaultValue;
    FormatPlan fromPlan; // the source field's format
    FormatPlan format;   // the target field's format
};

// The open source as the record loop reads it.
struct SourceView {
    RecordReader* reader = nullptr;
    int fieldCount = 0;
};

struct clsFileConvert::Impl {
    explicit Impl(ProgressSink* sink);

    ProgressSink* progress;
    Definition def;
    RegionalSettings regional;
    bool torven = false;

    std::vector<QString> fromValues;
    qsizetype fromPos = 0; // the slot setFromValue filled last (1-based)
    // The current record's source values read in place from the text source's line,
    // when they were not copied into fromValues; empty otherwise.
    std::span<const QStringView> lineValues;
    std::vector<QString> toValues;
    // The value being composed. It moves into its slot only when complete, so that a
    // record written in between (the customer's correction line) still carries the
    // previous record's value in that slot.
    QString composing;

    std::vector<FieldPlan> plan;
    // The fields composed for a record, in order, with their kind. Once the first record
    // is composed, the constant fields keep their values and drop out.
    struct ComposeStep {
        size_t field;
        FieldPlan::Fast kind;
    };
    std::vector<ComposeStep> steps;
    bool constantsComposed = false;
    std::vector<AutoCountRow> autoRows;
    std::vector<LastValueRow> lastRows;
    std::optional<CheckTable> checks;
    TranslationCache translation;
    std::optional<TargetWriter> target;

    // Where the run is, for the note of an error box.
    qint64 record = 0;    // source record being converted, 0 outside the record loop
    qsizetype field = -1; // target field being composed, -1 when none

    void buildPlan(const clsFileConvert& engine);
    // Fills the source slots from the reader's current record, column k into slot k,
    // starting at the first slot; a text file's line is taken all at once. fieldCount:
    // the source's columns per record.
    void takeRecord(const RecordReader& reader, int fieldCount);
    // Copies values read in place into fromValues (before the line goes away).
    void settleFromValues();
    QStringView sourceValue(int slot) const
    {
        return lineValues.empty() ? QStringView(fromValues[size_t(slot)])
                                  : lineValues[size_t(slot)];
    }
    // Classifies the fields (after the translation table is read) and lists the steps.
    void planSteps(bool constantsComposed);
    void compose(clsFileConvert& engine, size_t i);
    // The fast kinds: each gives what compose gives for its fields, byte for byte.
    static FieldPlan::Fast fastKind(const FieldPlan& p, bool translated, bool torven);
    void composePlain(size_t i);
    void composeCount(size_t i);
    QString runNote() const;
    // The composition state that a faulty record may have changed halfway: a preview or
    // check run puts it back, so that the next record is composed as if the faulty one
    // had been left out.
    struct Saved {
        std::vector<AutoCountRow> autoRows;
        std::vector<LastValueRow> lastRows;
        std::optional<CheckTable> checks;
    };
    Saved save() const { return {autoRows, lastRows, checks}; }
    void restore(const Saved& saved)
    {
        autoRows = saved.autoRows;
        lastRows = saved.lastRows;
        checks = saved.checks;
    }
    // A preview or check run's step for the current source record.
    void listRecord(clsFileConvert& engine, const SourceView& source, RunResult& result,
                    RunObserver* observer);
};

// Whether a run composes its common fields the fast way (the default). Tests switch it
// off to compare the fast kinds with the general steps.
void setFastComposition(bool on);
bool fastComposition();

} // namespace quendra
