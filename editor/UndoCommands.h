// The changes an author makes to a stage set, each as a small undoable command. A command is
// built while the document still holds the old values, does its change in redo() (which the
// undo stack runs when the command is pushed) and puts the old values back in undo(). After
// either, the window shows the stage that changed.
#pragma once

#include <QUndoCommand>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarp::editor {

class MainWindow;

// Changes to the entries and counts of one stage: placing a block or a coin, moving the start,
// erasing, and the stage's angle and shots. Each changed entry keeps its values before and after,
// so undoing an erase gives the entries back in their places, and the counts are set to what they
// were, never counted up or down (a count can only take values it had, all within the table).
class EntryEditCommand : public QUndoCommand {
  public:
    EntryEditCommand(MainWindow& window, int32_t slot, const QString& text);

    // Each records the table's present values as "before" the first time an entry is named.
    void SetBlock(int32_t index, int32_t x, int32_t y, int32_t type);
    void SetEntity(int32_t index, int32_t x, int32_t y);
    void SetBlockCount(int32_t count);
    void SetEntityCount(int32_t count);
    // Entries 0 (the start) and 1 (the angle and shots) exist from here on: those the slot lacks
    // get the values a new document has, so a coin never lands in their places.
    void CompleteStartAndSettings();

    int32_t BlockCount() const { return blockCountAfter_; }
    int32_t EntityCount() const { return entityCountAfter_; }
    // Whether redo() would leave the document as it is.
    bool ChangesNothing() const;

    void redo() override;
    void undo() override;

  private:
    struct Change {
        bool block = false;
        int32_t index = 0;
        std::array<int32_t, 3> before{}, after{};  // x, y and, for a block, type
    };
    Change& ChangeOf(bool block, int32_t index);
    void Apply(bool forward);

    MainWindow& window_;
    int32_t slot_;
    std::vector<Change> changes_;
    int32_t blockCountBefore_, blockCountAfter_;
    int32_t entityCountBefore_, entityCountAfter_;
};

// Exchanges two whole stages (F7); undoing exchanges them back.
class ExchangeStagesCommand : public QUndoCommand {
  public:
    ExchangeStagesCommand(MainWindow& window, int32_t first, int32_t second);
    void redo() override;
    void undo() override;

  private:
    void Exchange();
    MainWindow& window_;
    int32_t first_, second_;
};

// The set's author and number of stages (F11).
class SetSettingsCommand : public QUndoCommand {
  public:
    SetSettingsCommand(MainWindow& window, std::string author, int32_t stageTotal);
    void redo() override;
    void undo() override;

  private:
    void Apply(const std::string& author, int32_t stageTotal);
    MainWindow& window_;
    std::string authorBefore_, authorAfter_;
    int32_t stageTotalBefore_, stageTotalAfter_;
};

}  // namespace zarp::editor
