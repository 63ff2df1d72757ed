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
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QStyleOptionSlider>
#include <QThread>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>

#include "common/profile/Profile.h"
#include "common/stage/BlockTypes.h"
#include "editor/Recovery.h"
#include "editor/StageCheck.h"
#include "editor/UndoCommands.h"
#include "game/play/Physics.h"

namespace zarp::editor {

namespace {

// The window's client area at 1x: the field's visible 416 rows, then the controls.
constexpr int32_t kClientWidth = 640;
constexpr int32_t kFieldRightMargin = kClientWidth - kFieldPictureWidth;
constexpr int32_t kControlsHeight = 64;
constexpr int32_t kBlockTypeMax = 17;

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

// A block type's name and what it does, from the table zrptool and the README use too.
QString BlockTypeName(int32_t type) {
    const BlockTypeInfo* info = BlockTypeOf(type);
    return info ? QCoreApplication::translate("BlockTypes", info->name.data()) : QString();
}
QString BlockTypeDescription(int32_t type) {
    const BlockTypeInfo* info = BlockTypeOf(type);
    return info ? QCoreApplication::translate("BlockTypes", info->effect.data()) : QString();
}

}  // namespace

QImage BlockPreviewPicture(const QImage& sheet, QRect cell) {
    return sheet.copy(cell).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool HasStageFileExtension(const QString& path) {
    QString name = QFileInfo(path).fileName();
    qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && name.mid(dot).contains(QStringLiteral(".zrp"), Qt::CaseSensitive);
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
    connect(undoStack, &QUndoStack::indexChanged, this, [this] {
        ++revision_;
        ForgetSolution();
    });
    recoveryTimer = new QTimer(this);
    recoveryTimer->setInterval(kRecoveryIntervalMs);
    connect(recoveryTimer, &QTimer::timeout, this, [this] { WriteRecovery(); });
    BuildControls();
    BuildMenu();
    // The window's size follows the zoom; the author does not drag it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ChooseZoom(1);
    setAcceptDrops(true);
    ResetDocument(true);
    PlaceWindow();
    recoveryTimer->start();
}

MainWindow::~MainWindow() {
    StopCheck();
    // The undo stack, a child, clears itself as it goes: its signals must no longer reach a
    // window that is no longer whole.
    disconnect(undoStack, nullptr, this, nullptr);
}

void MainWindow::BuildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    stageField = new StageField(client);
    stageField->picture = QImage(kFieldPictureWidth, kFieldPictureHeight, QImage::Format_RGB32);
    stageField->onMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int32_t x,
                                     int32_t y) { FieldPressed(button, shift, x, y); };
    stageField->onPointer = [this](bool inside, int32_t x, int32_t y) {
        ShowPointer(inside, x, y);
    };

    blockPreviewFrame = new QFrame(client);
    blockPreviewFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    blockPreview = new QLabel(blockPreviewFrame);
    blockPreview->setGeometry(2, 2, 32, 32);

    blockTypeName = new QLabel(client);
    blockTypeSlider = new TrackBar(client);
    blockTypeSlider->setRange(0, kBlockTypeMax);
    connect(blockTypeSlider, &QSlider::valueChanged, this, [this] { BlockTypeChanged(); });
    blockTypeDescription = new QLabel(client);

    // The three item buttons side by side in their frame, none covering another's caption.
    itemGroup = new QGroupBox(client);
    auto* items = new QHBoxLayout(itemGroup);
    items->setContentsMargins(8, 2, 8, 2);
    items->setSpacing(10);
    blockModeButton = new QRadioButton(tr("BlockButton"), itemGroup);
    coinModeButton = new QRadioButton(tr("Coin"), itemGroup);
    startModeButton = new QRadioButton(tr("Player"), itemGroup);
    for (QRadioButton* button : {blockModeButton, coinModeButton, startModeButton}) {
        items->addWidget(button);
    }

    stageLabel = new QLabel(QStringLiteral("STAGE:1"), client);
    stageSlider = new TrackBar(client);
    stageSlider->setRange(1, stageTotal - 1);
    connect(stageSlider, &QSlider::valueChanged, this, [this] { StageChanged(); });

    // The information strip along the window's foot.
    pointerInfo = new QLabel(this);
    countInfo = new QLabel(this);
    settingsInfo = new QLabel(this);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(pointerInfo, 2);
    statusBar()->addWidget(countInfo, 3);
    statusBar()->addWidget(settingsInfo, 2);
    checkInfo = new QLabel(this);
    cancelCheckButton = new QPushButton(tr("中止"), this);
    connect(cancelCheckButton, &QPushButton::clicked, this, [this] { CancelCheck(); });
    statusBar()->addPermanentWidget(checkInfo);
    statusBar()->addPermanentWidget(cancelCheckButton);
    checkInfo->hide();
    cancelCheckButton->hide();
    ShowPointer(false, 0, 0);
}

void MainWindow::LayOut() {
    QWidget* client = centralWidget();
    const int32_t fieldHeight = (kFieldPictureHeight - kFieldHiddenRows) * zoom;
    const int32_t width = std::max(kClientWidth, kFieldPictureWidth * zoom + kFieldRightMargin);
    client->setFixedSize(width, fieldHeight + kControlsHeight);
    stageField->SetZoom(zoom);
    stageField->move(0, -kFieldHiddenRows * zoom);

    // The controls keep their size under the field, whatever the zoom.
    const int32_t top = fieldHeight;
    blockPreviewFrame->setGeometry(8, top + 8, 36, 36);
    blockTypeName->setGeometry(50, top + 2, 178, 14);
    blockTypeSlider->setGeometry(46, top + 16, 182, 30);
    blockTypeDescription->setGeometry(8, top + 47, width - 16, 14);
    const int32_t groupWidth = itemGroup->sizeHint().width();
    itemGroup->setGeometry(236, top + 8, groupWidth, 30);
    itemGroup->layout()->activate();
    const int32_t stageLeft = 236 + groupWidth + 8;
    stageLabel->move(stageLeft + 16, top + 2);
    stageSlider->setGeometry(stageLeft, top + 16, width - 8 - stageLeft, 30);
    adjustSize();
}

void MainWindow::ChooseZoom(int32_t factor) {
    zoom = std::clamp(factor, 1, 3);
    for (QAction* item : zoomGroup->actions()) {
        if (item->data().toInt() == zoom) item->setChecked(true);
    }
    zoomInAction->setEnabled(zoom < 3);
    zoomOutAction->setEnabled(zoom > 1);
    LayOut();
    KeepOnScreen();
}

void MainWindow::KeepOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    // Right and bottom edges inside the screen where the window fits; the top-left corner, with
    // the title bar, always.
    int32_t left = std::min(frame.left(), area.right() + 1 - frame.width());
    int32_t top = std::min(frame.top(), area.bottom() + 1 - frame.height());
    left = std::max(left, area.left());
    top = std::max(top, area.top());
    if (left != frame.left() || top != frame.top()) move(left, top);
}

void MainWindow::ShowPointer(bool inside, int32_t x, int32_t y) {
    if (!inside) {
        pointerInfo->setText(tr("位置 -"));
        return;
    }
    // The game's tiles are 32 pixels from the field's corner at (16, 16).
    const auto cell = [](int32_t v) { return v >= 16 ? (v - 16) / 32 : -1; };
    pointerInfo->setText(tr("位置 %1, %2（マス %3, %4）").arg(x).arg(y).arg(cell(x)).arg(cell(y)));
}

void MainWindow::UpdateInformation() {
    const int32_t s = currentStage;
    const EditorBlockTable& blocks = *stageBlockTable;
    const EditorEntityTable& entities = *stageEntityTable;
    const int32_t blockCount = std::clamp(blocks.count[s], 0, kEditorEntriesPerSlot);
    const int32_t entityCount = std::clamp(entities.count[s], 0, kEditorEntriesPerSlot);
    int32_t placedBlocks = 0;
    for (int32_t i = 0; i < blockCount; ++i) {
        if (blocks.x[s][i] != kEmptyMarker) ++placedBlocks;
    }
    int32_t coins = 0;
    for (int32_t i = 2; i < entityCount; ++i) {
        if (entities.x[s][i] != kEmptyMarker) ++coins;
    }
    // Erased entries keep their places until the set is saved and opened again.
    const int32_t used = std::max(blockCount, entityCount);
    const auto count = [](int32_t n, int32_t limit) {
        const QString text = QStringLiteral("%1/%2").arg(n).arg(limit);
        return n > limit ? QStringLiteral("<b><font color=\"#c00000\">%1</font></b>").arg(text)
                         : text;
    };
    countInfo->setText(tr("ブロック %1　コイン %2　記録 %3")
                           .arg(count(placedBlocks, kGameBlocksPerSlot),
                                count(coins, kGameEntitiesPerSlot - 2),
                                count(used, kEditorEntriesPerSlot)));
    if (entityCount >= 2) {
        settingsInfo->setText(tr("角度 %1°　残機 %2")
                                  .arg(static_cast<int64_t>(entities.x[s][1]) * 2)
                                  .arg(entities.y[s][1]));
    } else {
        settingsInfo->setText(tr("角度 -　残機 -"));
    }

    StageField::Overlay& overlay = stageField->overlay;
    overlay.shots = s == solutionSlot_ ? solution_ : std::vector<std::vector<QPointF>>{};
    overlay.hasStart = entityCount >= 1;
    if (overlay.hasStart) {
        overlay.start = QPointF(entities.x[s][0], entities.y[s][0]);
        overlay.startAngle = entityCount >= 2 ? entities.x[s][1] * kAngleUnit : 0;
    }
    stageField->update();
}

void MainWindow::BuildMenu() {
    // Captions are marked for translation where they stand and translated here.
    auto item = [this](QMenu* menu, const char* caption, QKeySequence shortcut,
                       void (MainWindow::*handler)()) {
        QAction* action = menu->addAction(tr(caption));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QFont font = EditorFont();
    menuBar()->setFont(font);
    auto menu = [this, &font](const QString& caption) {
        QMenu* added = menuBar()->addMenu(caption);
        added->setFont(font);
        return added;
    };

    fileMenu = menu(tr("ファイル(&F)"));
    openAction =
        item(fileMenu, QT_TR_NOOP("ファイルを開く(&L)"), Qt::Key_F2, &MainWindow::OpenFile);
    newAction =
        item(fileMenu, QT_TR_NOOP("新規作成(&N)"), Qt::CTRL | Qt::Key_N, &MainWindow::NewDocument);
    saveAction =
        item(fileMenu, QT_TR_NOOP("上書き保存する(&S)"), Qt::CTRL | Qt::Key_S, &MainWindow::Save);
    saveAsAction =
        item(fileMenu, QT_TR_NOOP("名前を付けて保存する(&A)"), Qt::Key_F9, &MainWindow::SaveAs);
    fileMenu->addSeparator();
    startGameAction =
        item(fileMenu, QT_TR_NOOP("ゲーム本体を起動する(&G)"), Qt::Key_F5, &MainWindow::StartGame);
    testPlayAction = item(fileMenu, QT_TR_NOOP("今編集しているステージを起動する(&I)"),
                          Qt::CTRL | Qt::Key_F5, &MainWindow::TestPlayStage);
    fileMenu->addSeparator();
    quitAction = item(fileMenu, QT_TR_NOOP("終了(&X)"), Qt::Key_F12, &MainWindow::Quit);

    editMenu = menu(tr("編集(&E)"));
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

    viewMenu = menu(tr("表示(&D)"));
    zoomGroup = new QActionGroup(this);
    auto zoomItem = [&](const QString& caption, int32_t factor) {
        QAction* action = viewMenu->addAction(caption);
        action->setCheckable(true);
        action->setData(factor);
        zoomGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, factor] { ChooseZoom(factor); });
        return action;
    };
    zoom1Action = zoomItem(tr("等倍(&1)"), 1);
    zoom2Action = zoomItem(tr("2倍(&2)"), 2);
    zoom3Action = zoomItem(tr("3倍(&3)"), 3);
    viewMenu->addSeparator();
    zoomInAction = viewMenu->addAction(tr("拡大(&I)"));
    zoomInAction->setShortcuts(QKeySequence::ZoomIn);
    connect(zoomInAction, &QAction::triggered, this, [this] { ChooseZoom(zoom + 1); });
    zoomOutAction = viewMenu->addAction(tr("縮小(&O)"));
    zoomOutAction->setShortcuts(QKeySequence::ZoomOut);
    connect(zoomOutAction, &QAction::triggered, this, [this] { ChooseZoom(zoom - 1); });

    settingsMenu = menu(tr("設定(&S)"));
    gridMenu = settingsMenu->addMenu(tr("マス目変更(&M)"));
    gridMenu->setFont(font);
    gridGroup = new QActionGroup(this);
    gridGroup->setExclusive(true);
    auto grid = [&](const QString& caption, int32_t size) {
        QAction* action = gridMenu->addAction(caption);
        action->setCheckable(true);
        action->setData(size);
        gridGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, size] { ChooseGrid(size); });
        return action;
    };
    gridFreeAction = grid(tr("free"), 0);
    grid8Action = grid(QStringLiteral("8x8"), 8);
    grid16Action = grid(QStringLiteral("16x16"), 16);
    grid32Action = grid(QStringLiteral("32x32"), 32);
    grid64Action = grid(QStringLiteral("64x64"), 64);
    grid16Action->setChecked(true);
    exchangeStagesAction = item(settingsMenu, QT_TR_NOOP("ステージ入れ替え(&C)"), Qt::Key_F7,
                                &MainWindow::ExchangeStages);
    settingsMenu->addSeparator();
    stageDetailsAction = item(settingsMenu, QT_TR_NOOP("ステージ詳細設定(&S)"), Qt::Key_F8,
                              &MainWindow::EditStageDetails);
    setSettingsAction = item(settingsMenu, QT_TR_NOOP("このゲームの設定"), Qt::Key_F11,
                             &MainWindow::EditSetSettings);
    settingsMenu->addSeparator();
    checkStageAction = settingsMenu->addAction(tr("このステージを確かめる(&K)"));
    checkStageAction->setShortcut(Qt::Key_F6);
    connect(checkStageAction, &QAction::triggered, this, [this] { CheckStage(); });
    windowedTestPlayAction = settingsMenu->addAction(tr("テストプレイをウィンドウで行う(&W)"));
    windowedTestPlayAction->setCheckable(true);
    connect(windowedTestPlayAction, &QAction::toggled, this,
            [this](bool windowed) { SetWindowedTestPlay(windowed); });

    versionMenu = menu(tr("バージョン情報(&V)"));
    versionAction =
        item(versionMenu, QT_TR_NOOP("バージョン情報"), QKeySequence(), &MainWindow::ShowVersion);
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
    UpdateInformation();
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
        Message(tr("注意"), tr("諸般の事情によりいったん終了してください"), QMessageBox::Ok,
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
    // The whole block, scaled to fit the box: a large block at half its size.
    QImage preview(32, 32, QImage::Format_RGB32);
    preview.fill(palette().color(QPalette::Button));
    const int32_t type = blockTypeSlider->value();
    QRect cell = EditorBlockCell(type);
    if (!cell.isEmpty()) {
        QPainter painter(&preview);
        painter.drawImage(0, 0, BlockPreviewPicture(sheets_.block, cell));
    }
    blockPreview->setPixmap(QPixmap::fromImage(preview));
    const QString name = BlockTypeName(type);
    const QString description = BlockTypeDescription(type);
    blockTypeName->setText(name);
    blockTypeDescription->setText(description);
    const QString tip = name + QStringLiteral(": ") + description;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{blockTypeSlider, blockPreviewFrame, blockTypeName}) {
        widget->setToolTip(tip);
    }
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
    if (ReadProfile(SettingsFile(), profile, &error)) {
        left = profile.GetInt("Editor", "Left", 0);
        top = profile.GetInt("Editor", "Top", 0);
        const QSignalBlocker blocker(windowedTestPlayAction);
        windowedTestPlayAction->setChecked(profile.GetInt("Editor", kWindowedTestPlayKey, 0) != 0);
    }
    // A position that would put the window's top-left corner off every screen (a screen taken
    // away since) is not used.
    const QRect stored(left, top, 100, 30);
    bool onScreen = false;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(stored)) onScreen = true;
    }
    if ((left == 0 && top == 0) || !onScreen) {
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
