#include "editor/UndoCommands.h"

#include <utility>

#include "common/stage/Stage.h"
#include "editor/MainWindow.h"

namespace zarp::editor {

EntryEditCommand::EntryEditCommand(MainWindow& window, int32_t slot, const QString& text)
    : QUndoCommand(text),
      window_(window),
      slot_(slot),
      blockCountBefore_(window.stageBlockTable->count[slot]),
      blockCountAfter_(blockCountBefore_),
      entityCountBefore_(window.stageEntityTable->count[slot]),
      entityCountAfter_(entityCountBefore_) {}

EntryEditCommand::Change& EntryEditCommand::ChangeOf(bool block, int32_t index) {
    for (Change& change : changes_) {
        if (change.block == block && change.index == index) return change;
    }
    Change change;
    change.block = block;
    change.index = index;
    if (block) {
        const EditorBlockTable& blocks = *window_.stageBlockTable;
        change.before = {blocks.x[slot_][index], blocks.y[slot_][index], blocks.type[slot_][index]};
    } else {
        const EditorEntityTable& entities = *window_.stageEntityTable;
        change.before = {entities.x[slot_][index], entities.y[slot_][index], 0};
    }
    change.after = change.before;
    changes_.push_back(change);
    return changes_.back();
}

void EntryEditCommand::SetBlock(int32_t index, int32_t x, int32_t y, int32_t type) {
    ChangeOf(true, index).after = {x, y, type};
}

void EntryEditCommand::SetEntity(int32_t index, int32_t x, int32_t y) {
    ChangeOf(false, index).after = {x, y, 0};
}

void EntryEditCommand::SetBlockCount(int32_t count) {
    blockCountAfter_ = count;
}

void EntryEditCommand::SetEntityCount(int32_t count) {
    entityCountAfter_ = count;
}

void EntryEditCommand::CompleteStartAndSettings() {
    if (entityCountAfter_ >= 2) return;
    if (entityCountAfter_ < 1) SetEntity(0, kDefaultStartX, kDefaultStartY);
    SetEntity(1, kDefaultStartAngle, kDefaultShots);
    entityCountAfter_ = 2;
}

bool EntryEditCommand::ChangesNothing() const {
    if (blockCountAfter_ != blockCountBefore_ || entityCountAfter_ != entityCountBefore_) {
        return false;
    }
    for (const Change& change : changes_) {
        if (change.after != change.before) return false;
    }
    return true;
}

void EntryEditCommand::Apply(bool forward) {
    EditorBlockTable& blocks = *window_.stageBlockTable;
    EditorEntityTable& entities = *window_.stageEntityTable;
    for (const Change& change : changes_) {
        const std::array<int32_t, 3>& values = forward ? change.after : change.before;
        if (change.block) {
            blocks.x[slot_][change.index] = values[0];
            blocks.y[slot_][change.index] = values[1];
            blocks.type[slot_][change.index] = values[2];
        } else {
            entities.x[slot_][change.index] = values[0];
            entities.y[slot_][change.index] = values[1];
        }
    }
    blocks.count[slot_] = forward ? blockCountAfter_ : blockCountBefore_;
    entities.count[slot_] = forward ? entityCountAfter_ : entityCountBefore_;
    window_.ShowChangedStage(slot_);
}

void EntryEditCommand::redo() {
    Apply(true);
}

void EntryEditCommand::undo() {
    Apply(false);
}

ExchangeStagesCommand::ExchangeStagesCommand(MainWindow& window, int32_t first, int32_t second)
    : QUndoCommand(MainWindow::tr("ステージ入れ替え")),
      window_(window),
      first_(first),
      second_(second) {}

void ExchangeStagesCommand::Exchange() {
    // Whole slots travel, the player's start and the stage settings with them.
    EditorBlockTable& blocks = *window_.stageBlockTable;
    EditorEntityTable& entities = *window_.stageEntityTable;
    std::swap(blocks.count[first_], blocks.count[second_]);
    std::swap(blocks.x[first_], blocks.x[second_]);
    std::swap(blocks.y[first_], blocks.y[second_]);
    std::swap(blocks.type[first_], blocks.type[second_]);
    std::swap(entities.count[first_], entities.count[second_]);
    std::swap(entities.x[first_], entities.x[second_]);
    std::swap(entities.y[first_], entities.y[second_]);
}

void ExchangeStagesCommand::redo() {
    Exchange();
    window_.ShowChangedStage(first_);
}

void ExchangeStagesCommand::undo() {
    Exchange();
    window_.ShowChangedStage(first_);
}

SetSettingsCommand::SetSettingsCommand(MainWindow& window, std::string author, int32_t stageTotal)
    : QUndoCommand(MainWindow::tr("このゲームの設定")),
      window_(window),
      authorBefore_(window.stageAuthor),
      authorAfter_(std::move(author)),
      stageTotalBefore_(window.stageTotal),
      stageTotalAfter_(stageTotal) {}

void SetSettingsCommand::Apply(const std::string& author, int32_t stageTotal) {
    window_.stageAuthor = author;
    window_.stageTotal = stageTotal;
    window_.StageTotalChanged();
}

void SetSettingsCommand::redo() {
    Apply(authorAfter_, stageTotalAfter_);
}

void SetSettingsCommand::undo() {
    Apply(authorBefore_, stageTotalBefore_);
}

}  // namespace zarp::editor
