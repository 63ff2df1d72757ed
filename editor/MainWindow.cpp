#include "editor/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>

#include "common/profile/Profile.h"
#include "editor/Recovery.h"
#include "editor/UndoCommands.h"

namespace zarp::editor {

namespace {

constexpr int32_t kClientWidth = 640;
constexpr int32_t kClientHeight = 464;
constexpr int32_t kFieldPictureWidth = 630;
constexpr int32_t kFieldPictureHeight = 432;
constexpr int32_t kBlockTypeMax = 17;
constexpr int32_t kTrackBarBodyHeight = 30;

QFont EditorFont() {
    QFont font(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    return font;
}

// A one-pixel line of the grid; lines and parts of lines beyond the picture are left out.
void HorizontalLine(QImage& image, int32_t x0, int32_t x1, int32_t y, QRgb colour) {
    if (y < 0 || y >= image.height()) return;
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = std::max(x0, 0); x < std::min(x1, image.width()); ++x)
        row[x] = colour;
}

void VerticalLine(QImage& image, int32_t x, int32_t y0, int32_t y1, QRgb colour) {
    if (x < 0 || x >= image.width()) return;
    for (int32_t y = std::max(y0, 0); y < std::min(y1, image.height()); ++y) {
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
    }
}

}  // namespace

bool HasStageFileExtension(const QString& path) {
    QString name = QFileInfo(path).fileName();
    qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && name.mid(dot).contains(QStringLiteral(".zrp"), Qt::CaseSensitive);
}

StageField::StageField(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StageField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
}

void StageField::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (onMouseDown) onMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickInterval(1);
    setPageStep(1);
    setTickPosition(QSlider::TicksBelow);
}

void TrackBar::initStyleOption(QStyleOptionSlider* option) const {
    QSlider::initStyleOption(option);
    option->rect.setHeight(std::min(option->rect.height(), kTrackBarBodyHeight));
}

MainWindow::MainWindow(EditorServices& services, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      stageBlockTable(std::make_unique<EditorBlockTable>()),
      stageEntityTable(std::make_unique<EditorEntityTable>()),
      services_(services),
      arguments_(arguments),
      sheets_(LoadEditorSheets()) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(EditorFont());
    undoStack = new QUndoStack(this);
    connect(undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    connect(undoStack, &QUndoStack::indexChanged, this, [this] { ++revision_; });
    recoveryTimer = new QTimer(this);
    recoveryTimer->setInterval(kRecoveryIntervalMs);
    connect(recoveryTimer, &QTimer::timeout, this, [this] { WriteRecovery(); });
    BuildControls();
    BuildMenu();
    // A fixed single border: the client area stays 640 x 464 below the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    setAcceptDrops(true);
    ResetDocument(true);
    PlaceWindow();
    recoveryTimer->start();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    stageField = new StageField(client);
    stageField->setGeometry(0, -16, kFieldPictureWidth, kFieldPictureHeight);
    stageField->picture = QImage(kFieldPictureWidth, kFieldPictureHeight, QImage::Format_RGB32);
    stageField->onMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int32_t x,
                                     int32_t y) { FieldPressed(button, shift, x, y); };

    blockPreviewFrame = new QFrame(client);
    blockPreviewFrame->setGeometry(8, 424, 33, 33);
    blockPreviewFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    blockPreview = new QLabel(blockPreviewFrame);
    blockPreview->setGeometry(0, 0, 32, 32);

    blockTypeSlider = new TrackBar(client);
    blockTypeSlider->setGeometry(40, 424, 177, 33);
    blockTypeSlider->setRange(0, kBlockTypeMax);
    connect(blockTypeSlider, &QSlider::valueChanged, this, [this] { BlockTypeChanged(); });

    itemGroup = new QGroupBox(client);
    itemGroup->setGeometry(224, 424, 161, 28);

    // Each button is opaque and covers the one before it, as the three overlap.
    auto radio = [client](const char* text, int32_t x, int32_t width) {
        auto* button = new QRadioButton(QString::fromUtf8(text), client);
        // Wide enough for its caption in this font, but never narrower than on the form.
        button->setGeometry(x, 432, std::max(width, button->sizeHint().width()), 17);
        button->setAutoFillBackground(true);
        return button;
    };
    blockModeButton = radio("blockModeButton", 232, 113);
    coinModeButton = radio("Coin", 280, 97);
    startModeButton = radio("Player", 328, 49);

    stageLabel = new QLabel(QStringLiteral("STAGE:1"), client);
    stageLabel->setGeometry(408, 420, 45, 12);

    stageSlider = new TrackBar(client);
    stageSlider->setGeometry(392, 432, 241, 45);
    stageSlider->setRange(1, stageTotal - 1);
    connect(stageSlider, &QSlider::valueChanged, this, [this] { StageChanged(); });
}

void MainWindow::BuildMenu() {
    auto item = [this](QMenu* menu, const char* caption, QKeySequence shortcut,
                       void (MainWindow::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QFont font = EditorFont();
    menuBar()->setFont(font);

    fileMenu = menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
    fileMenu->setFont(font);
    openAction = item(fileMenu, "ファイルを開く(&L)", Qt::Key_F2, &MainWindow::OpenFile);
    newAction = item(fileMenu, "新規作成(&N)", Qt::CTRL | Qt::Key_N, &MainWindow::NewDocument);
    saveAction = item(fileMenu, "上書き保存する(&S)", Qt::CTRL | Qt::Key_S, &MainWindow::Save);
    saveAsAction = item(fileMenu, "名前を付けて保存する(&A)", Qt::Key_F9, &MainWindow::SaveAs);
    fileMenu->addSeparator();
    startGameAction =
        item(fileMenu, "ゲーム本体を起動する(&G)", Qt::Key_F5, &MainWindow::StartGame);
    testPlayAction = item(fileMenu, "今編集しているステージを起動する(&I)", Qt::CTRL | Qt::Key_F5,
                          &MainWindow::TestPlayStage);
    fileMenu->addSeparator();
    quitAction = item(fileMenu, "終了(&X)", Qt::Key_F12, &MainWindow::Quit);

    editMenu = menuBar()->addMenu(tr("編集(&E)"));
    editMenu->setFont(font);
    undoAction = editMenu->addAction(tr("元に戻す(&U)"));
    undoAction->setShortcut(Qt::CTRL | Qt::Key_Z);
    redoAction = editMenu->addAction(tr("やり直す(&R)"));
    redoAction->setShortcuts({Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z});
    connect(undoAction, &QAction::triggered, undoStack, &QUndoStack::undo);
    connect(redoAction, &QAction::triggered, undoStack, &QUndoStack::redo);
    connect(undoStack, &QUndoStack::canUndoChanged, undoAction, &QAction::setEnabled);
    connect(undoStack, &QUndoStack::canRedoChanged, redoAction, &QAction::setEnabled);
    // What the next undo or redo takes back shows in the status tip.
    connect(undoStack, &QUndoStack::undoTextChanged, undoAction, &QAction::setStatusTip);
    connect(undoStack, &QUndoStack::redoTextChanged, redoAction, &QAction::setStatusTip);
    undoAction->setEnabled(false);
    redoAction->setEnabled(false);

    settingsMenu = menuBar()->addMenu(QString::fromUtf8("設定(&S)"));
    settingsMenu->setFont(font);
    gridMenu = settingsMenu->addMenu(QString::fromUtf8("マス目変更(&M)"));
    gridMenu->setFont(font);
    gridGroup = new QActionGroup(this);
    gridGroup->setExclusive(true);
    auto grid = [&](const char* caption, int32_t size) {
        QAction* action = gridMenu->addAction(QString::fromUtf8(caption));
        action->setCheckable(true);
        action->setData(size);
        gridGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, size] { ChooseGrid(size); });
        return action;
    };
    gridFreeAction = grid("free", 0);
    grid8Action = grid("8x8", 8);
    grid16Action = grid("16x16", 16);
    grid32Action = grid("32x32", 32);
    grid64Action = grid("64x64", 64);
    grid16Action->setChecked(true);
    exchangeStagesAction =
        item(settingsMenu, "ステージ入れ替え(&C)", Qt::Key_F7, &MainWindow::ExchangeStages);
    settingsMenu->addSeparator();
    stageDetailsAction =
        item(settingsMenu, "ステージ詳細設定(&S)", Qt::Key_F8, &MainWindow::EditStageDetails);
    setSettingsAction =
        item(settingsMenu, "このゲームの設定", Qt::Key_F11, &MainWindow::EditSetSettings);

    versionMenu = menuBar()->addMenu(QString::fromUtf8("バージョン情報(&V)"));
    versionMenu->setFont(font);
    versionAction = item(versionMenu, "バージョン情報", QKeySequence(), &MainWindow::ShowVersion);
}

void MainWindow::ResetDocument(bool withArgument) {
    fileName.clear();
    stageTotal = 16;
    stageAuthor.clear();
    SetCaption(QString::fromUtf8(kNewFileCaption));
    ResetEditorTables(*stageBlockTable, *stageEntityTable);
    StartFreshHistory();

    if (withArgument && !arguments_.isEmpty() && HasStageFileExtension(arguments_.first())) {
        QString path = QFileInfo(arguments_.first()).absoluteFilePath();
        if (ReadDocument(path)) {
            fileName = path;
            SetCaption(fileName);
        }
    }

    currentStage = 1;
    UpdateStageRange();
    stageSlider->setValue(1);
    ShowStageNumber();
    gridSize = 16;
    grid16Action->setChecked(true);
    Redraw();
    BlockTypeChanged();
    blockModeButton->setChecked(true);
}

void MainWindow::SetCaption(const QString& caption) {
    // "[*]" is where the modified mark goes; one in the caption itself is written twice.
    QString escaped = caption;
    escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(escaped + QStringLiteral("[*]"));
}

void MainWindow::Redraw() {
    QImage& picture = stageField->picture;
    picture.fill(palette().color(QPalette::Button));
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(16, 16, 609, 416), Qt::black);
    }
    if (gridSize != 0) {
        const QRgb grey = qRgb(128, 128, 128);
        for (int32_t i = 0; i <= 78; ++i)
            VerticalLine(picture, 16 + i * gridSize, 16, 429, grey);
        const int32_t rows = gridSize == 8 ? 54 : 26;
        for (int32_t j = 0; j <= rows; ++j) {
            HorizontalLine(picture, 16, 625, 16 + j * gridSize, grey);
        }
    }

    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const EditorBlockTable& blocks = *stageBlockTable;
    const int32_t blockCount = std::clamp(blocks.count[currentStage], 0, kEditorEntriesPerSlot);
    for (int32_t i = 0; i < blockCount; ++i) {
        QRect cell = EditorBlockCell(blocks.type[currentStage][i]);
        if (cell.isEmpty()) continue;  // erased, or a type the sheet has no cell for
        painter.drawImage(QPoint(blocks.x[currentStage][i], blocks.y[currentStage][i]),
                          sheets_.block, cell);
    }
    const EditorEntityTable& entities = *stageEntityTable;
    const int32_t entityCount = std::clamp(entities.count[currentStage], 0, kEditorEntriesPerSlot);
    for (int32_t i = 0; i < entityCount; ++i) {
        QPoint at(entities.x[currentStage][i], entities.y[currentStage][i]);
        if (i == 0) {
            painter.drawImage(at, sheets_.player, QRect(0, 0, 16, 16));
        } else if (i >= 2) {
            painter.drawImage(at, sheets_.coin, QRect(0, 0, 16, 16));
        }
    }
    painter.end();
    stageField->update();
}

void MainWindow::FieldPressed(Qt::MouseButton button, Qt::KeyboardModifiers, int32_t X, int32_t Y) {
    const EditorBlockTable& blocks = *stageBlockTable;
    const EditorEntityTable& entities = *stageEntityTable;
    const int32_t s = currentStage;
    if (button == Qt::LeftButton) {
        if (gridSize != 0) {
            X = gridSize * ((X - 16) / gridSize) + 16;
            Y = gridSize * ((Y - 16) / gridSize) + 16;
        }
        if (!coinModeButton->isChecked() && !startModeButton->isChecked()) {
            // A full slot refuses the block; the warning below tells the user to save.
            const int32_t i = blocks.count[s];
            if (i < kEditorEntriesPerSlot) {
                auto edit = std::make_unique<EntryEditCommand>(*this, s, tr("ブロックを置く"));
                edit->SetBlock(i, X, Y, blockTypeSlider->value());
                edit->SetBlockCount(i + 1);
                Push(std::move(edit));
            }
        } else if (coinModeButton->isChecked()) {
            bool taken = false;
            for (int32_t i = 0; i < entities.count[s]; ++i) {
                if (entities.x[s][i] == X && entities.y[s][i] == Y) taken = true;
            }
            auto edit = std::make_unique<EntryEditCommand>(*this, s, tr("コインを置く"));
            // A coin goes after the start and the settings, never in their places.
            edit->CompleteStartAndSettings();
            const int32_t i = edit->EntityCount();
            if (!taken && i < kEditorEntriesPerSlot) {
                edit->SetEntity(i, X, Y);
                edit->SetEntityCount(i + 1);
                Push(std::move(edit));
            }
        } else {
            auto edit = std::make_unique<EntryEditCommand>(*this, s, tr("スタート位置を動かす"));
            edit->CompleteStartAndSettings();
            edit->SetEntity(0, X, Y);
            Push(std::move(edit));
        }
    } else if (coinModeButton->isChecked()) {
        auto edit = std::make_unique<EntryEditCommand>(*this, s, tr("コインを消す"));
        for (int32_t i = 2; i < entities.count[s]; ++i) {
            const int32_t x = entities.x[s][i];
            const int32_t y = entities.y[s][i];
            if (x < X && X < x + 16 && y < Y && Y < y + 16) {
                edit->SetEntity(i, kEmptyMarker, kEmptyMarker);
            }
        }
        Push(std::move(edit));
    } else {
        auto edit = std::make_unique<EntryEditCommand>(*this, s, tr("ブロックを消す"));
        for (int32_t i = 0; i < blocks.count[s]; ++i) {
            const int32_t x = blocks.x[s][i];
            const int32_t y = blocks.y[s][i];
            const int32_t size = BlockSize(blocks.type[s][i]);
            if (x < X && X < x + size && y < Y && Y < y + size) {
                edit->SetBlock(i, kEmptyMarker, kEmptyMarker, kEmptyMarker);
            }
        }
        Push(std::move(edit));
    }
    if (entities.count[s] > kEntryWarningCount || blocks.count[s] > kEntryWarningCount) {
        Message(QString::fromUtf8("注意"), QString::fromUtf8(kTooManyEntriesText), QMessageBox::Ok,
                QMessageBox::Information);
    }
    Redraw();
}

void MainWindow::Push(std::unique_ptr<EntryEditCommand> edit) {
    if (edit->ChangesNothing()) return;
    undoStack->push(edit.release());
}

void MainWindow::ShowChangedStage(int32_t slot) {
    if (slot != currentStage && slot >= 1 && slot <= stageTotal - 1) {
        // The selector's change shows the stage and repaints it.
        stageSlider->setValue(slot);
        return;
    }
    Redraw();
}

void MainWindow::StageTotalChanged() {
    UpdateStageRange();
    Redraw();
}

void MainWindow::BlockTypeChanged() {
    blockModeButton->setChecked(true);
    QImage preview(32, 32, QImage::Format_RGB32);
    preview.fill(palette().color(QPalette::Button));
    QRect cell = EditorBlockCell(blockTypeSlider->value());
    if (!cell.isEmpty()) {
        QPainter painter(&preview);
        painter.drawImage(
            QPoint(0, 0), sheets_.block,
            QRect(cell.topLeft(), QSize(std::min(cell.width(), 32), std::min(cell.height(), 32))));
    }
    blockPreview->setPixmap(QPixmap::fromImage(preview));
}

void MainWindow::StageChanged() {
    currentStage = stageSlider->value();
    ShowStageNumber();
    Redraw();
}

void MainWindow::UpdateStageRange() {
    const int32_t last = std::clamp(stageTotal - 1, 1, kStageSlots - 1);
    if (currentStage > last) currentStage = last;
    if (currentStage < 1) currentStage = 1;
    const QSignalBlocker blocker(stageSlider);
    stageSlider->setRange(1, last);
    stageSlider->setValue(currentStage);
    ShowStageNumber();
}

void MainWindow::ShowStageNumber() {
    // The label sizes itself to its text from its top-left corner.
    stageLabel->setText(QStringLiteral("STAGE:") + QString::number(currentStage));
    stageLabel->adjustSize();
}

void MainWindow::FilesDropped(const QStringList& names) {
    if (names.isEmpty()) return;
    const QString& name = names.last();  // only the last of several counts
    if (!HasStageFileExtension(name)) return;
    QString path = QFileInfo(name).absoluteFilePath();
    if (!MayReplaceDocument() || !ReadDocument(path)) return;
    fileName = path;
    Redraw();
    SetCaption(fileName);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList names;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) names.append(url.toLocalFile());
    }
    FilesDropped(names);
    event->acceptProposedAction();
}

void MainWindow::PlaceWindow() {
    IniFile profile;
    std::string error;
    int32_t left = 0;
    int32_t top = 0;
    if (ReadProfile(services_.ProgramFolder() + "zarp.dat", profile, &error)) {
        left = profile.GetInt("Editor", "Left", 0);
        top = profile.GetInt("Editor", "Top", 0);
    }
    if (left == 0 && top == 0) {
        QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            QRect area = screen->availableGeometry();
            move(area.x() + (area.width() - width()) / 2,
                 area.y() + (area.height() - height()) / 2);
        }
    } else {
        move(left, top);
    }
}

QMessageBox::StandardButton MainWindow::Message(const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::Icon icon) {
    return services_.MessageBox(this, caption, text, buttons, icon);
}

}  // namespace zarp::editor
