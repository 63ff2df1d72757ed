// The editor's main window: one stage set at a time, shown one stage slot at a time on the
// stage field, with the file, settings and launch commands in its menu.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QSlider>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/stage/Stage.h"
#include "editor/EditorServices.h"
#include "editor/Sheets.h"
#include "editor/StageField.h"

class QAction;
class QActionGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QUndoCommand;
class QUndoStack;

namespace zarp::editor {

class EntryEditCommand;
struct PathPoint;
class RecoveryFile;
struct OrphanRecovery;

inline constexpr const char* kApplicationTitle = "Zarpane Stage Editor";
inline constexpr const char* kNewFileCaption = "New file";
inline constexpr int32_t kEntryWarningCount = 490;
// The [Editor] key of zarp.dat that keeps the test play's window choice.
inline constexpr const char* kWindowedTestPlayKey = "TestPlayWindowed";
// How often a document with unsaved changes is copied to the recovery file.
inline constexpr int kRecoveryIntervalMs = 30'000;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // `arguments` excludes the program name; a first argument naming a .zrp file is opened.
    MainWindow(EditorServices& services, const QStringList& arguments, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The document.
    std::unique_ptr<EditorBlockTable> stageBlockTable;
    std::unique_ptr<EditorEntityTable> stageEntityTable;
    int32_t stageTotal = 16;  // slot 0 included
    std::string stageAuthor;  // bytes as in the file
    QString fileName;         // empty while untitled
    int32_t currentStage = 1;
    int32_t gridSize = 16;  // 0: free placement
    int32_t zoom = 1;       // the field shown 1, 2 or 3 times its size

    // Controls.
    StageField* stageField = nullptr;
    QFrame* blockPreviewFrame = nullptr;
    QLabel* blockPreview = nullptr;
    TrackBar* blockTypeSlider = nullptr;
    QGroupBox* itemGroup = nullptr;
    QRadioButton* blockModeButton = nullptr;
    QRadioButton* coinModeButton = nullptr;
    QRadioButton* startModeButton = nullptr;
    QLabel* stageLabel = nullptr;
    TrackBar* stageSlider = nullptr;
    QLabel* blockTypeName = nullptr;         // the chosen type's name, above its selector
    QLabel* blockTypeDescription = nullptr;  // what it does, below
    // The information strip: the pointer, the stage's counts, its start angle and shots.
    QLabel* pointerInfo = nullptr;
    QLabel* countInfo = nullptr;
    QLabel* settingsInfo = nullptr;

    // The menu.
    QMenu* fileMenu = nullptr;
    QAction* openAction = nullptr;
    QAction* newAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* startGameAction = nullptr;
    QAction* testPlayAction = nullptr;
    QAction* quitAction = nullptr;
    QMenu* settingsMenu = nullptr;
    QMenu* gridMenu = nullptr;
    QActionGroup* gridGroup = nullptr;
    QAction* gridFreeAction = nullptr;
    QAction* grid8Action = nullptr;
    QAction* grid16Action = nullptr;
    QAction* grid32Action = nullptr;
    QAction* grid64Action = nullptr;
    QAction* exchangeStagesAction = nullptr;
    QAction* stageDetailsAction = nullptr;
    QAction* setSettingsAction = nullptr;
    QMenu* versionMenu = nullptr;
    QAction* versionAction = nullptr;
    QMenu* editMenu = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QMenu* viewMenu = nullptr;
    QActionGroup* zoomGroup = nullptr;
    QAction* zoom1Action = nullptr;
    QAction* zoom2Action = nullptr;
    QAction* zoom3Action = nullptr;
    QAction* zoomInAction = nullptr;
    QAction* zoomOutAction = nullptr;
    QAction* windowedTestPlayAction = nullptr;
    QAction* checkStageAction = nullptr;
    // While a check runs: its progress and a Cancel, in the strip.
    QLabel* checkInfo = nullptr;
    QPushButton* cancelCheckButton = nullptr;
    // The last check's result in words.
    QString lastCheckText;

    // Given to the game before its own arguments (the editor's --lang, when it was started so).
    QStringList gameOptions;

    // Every change to the document is a command on this stack; its clean state is the saved
    // document, and the window's modified mark follows it.
    QUndoStack* undoStack = nullptr;
    // Copies a changed document to the recovery file (kRecoveryIntervalMs).
    QTimer* recoveryTimer = nullptr;

    // The stage field and its controls.
    void ResetDocument(bool withArgument);
    void Redraw();
    void FieldPressed(Qt::MouseButton button, Qt::KeyboardModifiers shift, int32_t X, int32_t Y);
    void BlockTypeChanged();
    void StageChanged();
    void FilesDropped(const QStringList& names);

    // File commands.
    void OpenFile();
    void NewDocument();
    void Save();
    void SaveAs();
    void Quit();
    bool SaveDocument(bool overwrite);
    bool AskBeforeClosing();  // true when the window may close

    // Settings.
    void EditStageDetails();
    void EditSetSettings();
    void ExchangeStages();
    // 0 (free placement), 8, 16, 32 or 64; marks the grid's menu item.
    void ChooseGrid(int32_t size);
    // 1 to 3: the field and the window follow; the window stays on the screen.
    void ChooseZoom(int32_t factor);
    void SetWindowedTestPlay(bool windowed);
    // Runs the game's solver on the stage shown, on a worker thread; the result comes as a
    // message, with the solution's path drawn on the field until the next edit.
    void CheckStage();
    void CancelCheck();
    bool CheckRunning() const;
    void ShowVersion();

    // Launching the game.
    void StartGame();
    void TestPlayStage();
    // Whether the stage holds a goal among the blocks the game will read.
    bool StageHasGoal(int32_t slot) const;

    // The author line as text: UTF-8 when it is valid UTF-8, else read as Shift-JIS.
    QString AuthorText() const;

    // For the undo commands: shows `slot` when it is one of the set's stages, and repaints.
    void ShowChangedStage(int32_t slot);
    // For the undo commands: the selector's range follows a new stage total.
    void StageTotalChanged();

    // Whether the document differs from the file it was read from or saved to.
    bool HasUnsavedChanges() const;
    // Writes the recovery file when the document has changes it does not hold yet; removes it
    // when the document has no unsaved changes.
    void WriteRecovery();
    // At start: offers each recovery that an editor which did not end normally left behind,
    // newest first, until one is restored.
    void OfferRecovery();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void SetCaption(const QString& caption);  // with the modified mark
    // New, opening and restoring: an empty undo history and no recovery file.
    void StartFreshHistory();
    // After a save: the saved state is the clean state, and the recovery file goes.
    void DocumentSaved();
    // Before opening over a changed document: asks whether to save first. False keeps the
    // document (Cancel, or a save that did not happen).
    bool MayReplaceDocument();
    // Pushes an edit that changes something; one that changes nothing is dropped.
    void Push(std::unique_ptr<EntryEditCommand> edit);
    bool RestoreRecovery(const OrphanRecovery& orphan);
    struct RunningCheck;
    void CheckFinished();
    // A check still running is told to stop and waited for.
    void StopCheck();
    void ShowSolution(int32_t slot, const std::vector<std::vector<PathPoint>>& shots);
    void ForgetSolution();
    void BuildControls();
    void BuildMenu();
    // Places the controls around the field at the present zoom.
    void LayOut();
    // The strip and the field's overlay follow the document and the pointer.
    void UpdateInformation();
    void ShowPointer(bool inside, int32_t x, int32_t y);
    // Moves the window so that its frame lies on a screen.
    void KeepOnScreen();
    void PlaceWindow();
    void StoreWindowPosition();
    // zarp.dat; installed, in the user's data folder, made first.
    std::string SettingsFile();
    // Where the open and save dialogs start without a file name: the user's stage folder of an
    // installed editor (made first, with the example sets), else nowhere in particular.
    QString StageFolderForDialogs();
    void DeleteTestFile();
    // Applies the selector's range after the stage total changed; keeps currentStage inside.
    void UpdateStageRange();
    void ShowStageNumber();
    // Read and write with the messages of a failed file operation; the document stays as it
    // was when reading fails.
    bool ReadDocument(const QString& path);
    bool WriteDocument(const QString& path);
    enum class SaveOutcome { Saved, Cancelled, Failed };
    // SaveDocument that tells a cancelled dialog from a file that could not be written.
    SaveOutcome SaveDocumentOutcome(bool overwrite);
    // Asks for a number. Returns false when the answer is not a whole number (the error is
    // shown then); `answered` tells whether a non-empty answer came back.
    bool AskNumber(const QString& prompt, const QString& defaultText, bool& answered,
                   int32_t& value);
    QMessageBox::StandardButton Message(const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::Icon icon);

    EditorServices& services_;
    QStringList arguments_;
    EditorSheets sheets_;
    QString lastOpenName_;
    std::unique_ptr<RecoveryFile> recovery_;
    // Counts the document's changes, so the recovery is written only when it is behind.
    int64_t revision_ = 0;
    int64_t recoveryRevision_ = -1;
    bool recoveryErrorShown_ = false;
    std::shared_ptr<RunningCheck> check_;
    // A checked stage's solution, as the ball's top-left corners per shot.
    int32_t solutionSlot_ = 0;
    std::vector<std::vector<QPointF>> solution_;
};

// The preview of a block type: its whole sheet cell scaled to the 32 x 32 box.
QImage BlockPreviewPicture(const QImage& sheet, QRect cell);
// Whether the extension of a path's file name (from its last dot) contains ".zrp".
bool HasStageFileExtension(const QString& path);
// A whole decimal number (surrounding spaces allowed) that fits 32 bits.
bool ParseInteger(const QString& text, int32_t& value);

}  // namespace zarp::editor
