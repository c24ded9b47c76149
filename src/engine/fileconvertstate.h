#pragma once

// The state of one clsFileConvert object, shared by the files that implement it.
#include "engine/checktable.h"
#include "engine/clsfileconvert.h"
#include "engine/definition.h"
#include "engine/formatting.h"
#include "engine/runtables.h"
#include "engine/targetwriter.h"
#include "engine/translationcache.h"

#include <optional>
#include <vector>

namespace quendra {

// What composition needs to know about a target field, worked out once per run.
struct FieldPlan {
    bool hasDefault = false;
    bool defaultReady = false; // defaultValue already holds the converted default
    QString defaultValue;
    bool hasSource = false;    // srcfield is not blank
    int source = -1;           // 0-based source slot; -1 when srcfield matches nothing
    bool carryForward = false; // command "<lastvalue>"
    bool autoCount = false;
    std::optional<qint64> start; // running number start, nothing when not a number
    bool toFormat = false;
    bool ltrim = false;
    int slot = 0; // row of the running-number and last-value tables
};

struct clsFileConvert::Impl {
    explicit Impl(ProgressSink* sink);

    ProgressSink* progress;
    Definition def;
    RegionalSettings regional;
    bool torven = false;

    std::vector<QString> fromValues;
    qsizetype fromPos = 0; // the slot setFromValue filled last (1-based)
    std::vector<QString> toValues;

    std::vector<FieldPlan> plan;
    std::vector<AutoCountRow> autoRows;
    std::vector<LastValueRow> lastRows;
    std::optional<CheckTable> checks;
    TranslationCache translation;
    std::optional<TargetWriter> target;

    // Where the run is, for the note of an error box.
    qint64 record = 0;    // source record being converted, 0 outside the record loop
    qsizetype field = -1; // target field being composed, -1 when none

    void buildPlan(const clsFileConvert& engine);
    void compose(clsFileConvert& engine, size_t i);
    QString runNote() const;
};

} // namespace quendra
