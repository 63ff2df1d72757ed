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

#include "common/stage/Stage.h"
#include "editor/EditorServices.h"
#include "editor/Sheets.h"

class QAction;
class QActionGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QRadioButton;

namespace zarp::editor {

inline constexpr const char* kApplicationTitle = "Zarpane Stage Editor";
inline constexpr const char* kNewFileCaption = "New file";
inline constexpr const char* kTooManyEntriesText = "諸般の事情によりいったん終了してください";
inline constexpr int32_t kEntryWarningCount = 490;

// The stage field picture: shows `picture` and reports mouse presses in its own coordinates.
class StageField : public QWidget {
  public:
    explicit StageField(QWidget* parent);

    QImage picture;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int32_t, int32_t)> onMouseDown;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// A track bar drawn as the platform's own: the groove along the top with its ticks below it,
// however tall the control is.
class TrackBar : public QSlider {
  public:
    explicit TrackBar(QWidget* parent);

  protected:
    void initStyleOption(QStyleOptionSlider* option) const override;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // `arguments` excludes the program name; a first argument naming a .zrp file is opened.
    TForm1(EditorServices& services, const QStringList& arguments, QWidget* parent = nullptr);
    ~TForm1() override;

    // The document.
    std::unique_ptr<EditorBlockTable> stageBlockTable;
    std::unique_ptr<EditorEntityTable> stageEntityTable;
    int32_t stageTotal = 16;  // slot 0 included
    std::string stageAuthor;  // bytes as in the file
    QString fileName;         // empty while untitled
    int32_t currentStage = 1;
    int32_t gridSize = 16;  // 0: free placement

    // Controls, named as on the form.
    StageField* Image1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Image5 = nullptr;
    TrackBar* TrackBar1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* BlockButton = nullptr;
    QRadioButton* CoinButton = nullptr;
    QRadioButton* PlayerButton = nullptr;
    QLabel* Label2 = nullptr;
    TrackBar* TrackBar2 = nullptr;

    // The menu.
    QMenu* file = nullptr;
    QAction* selectfile = nullptr;
    QAction* New1 = nullptr;
    QAction* KK1 = nullptr;
    QAction* save = nullptr;
    QAction* Game = nullptr;
    QAction* K1 = nullptr;
    QAction* exit = nullptr;
    QMenu* Setting1 = nullptr;
    QMenu* K2 = nullptr;
    QActionGroup* gridGroup = nullptr;
    QAction* free1 = nullptr;
    QAction* N8x81 = nullptr;
    QAction* N16x161 = nullptr;
    QAction* N32x321 = nullptr;
    QAction* N64x641 = nullptr;
    QAction* stageswap = nullptr;
    QAction* KS1 = nullptr;
    QAction* K3 = nullptr;
    QMenu* KV1 = nullptr;
    QAction* version = nullptr;

    // The stage field and its controls.
    void FormCreate(bool withArgument);
    void Redraw();
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int32_t X, int32_t Y);
    void TrackBar1Change();
    void TrackBar2Change();
    void FilesDropped(const QStringList& names);

    // File commands.
    void selectfileClick();
    void New1Click();
    void KK1Click();
    void saveClick();
    void exitClick();
    bool SaveDocument(bool overwrite);
    bool FormCloseQuery();  // true when the window may close

    // Settings.
    void KS1Click();
    void K3Click();
    void stageswapClick();
    void free1Click();
    void N8x81Click();
    void N16x161Click();
    void N32x321Click();
    void N64x641Click();
    void versionClick();

    // Launching the game.
    void GameClick();
    void K1Click();

    // The author line as text: UTF-8 when it is valid UTF-8, else read as Shift-JIS.
    QString AuthorText() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildControls();
    void BuildMenu();
    void PlaceWindow();
    void StoreWindowPosition();
    void DeleteTestFile();
    void SetGrid(int32_t size, QAction* item);
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
};

// Whether the extension of a path's file name (from its last dot) contains ".zrp".
bool HasStageFileExtension(const QString& path);
// A whole decimal number (surrounding spaces allowed) that fits 32 bits.
bool ParseInteger(const QString& text, int32_t& value);

}  // namespace zarp::editor
