#include "editor/TForm1.h"

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
#include <QUrl>
#include <algorithm>

#include "common/profile/Profile.h"

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

TForm1::TForm1(EditorServices& services, const QStringList& arguments, QWidget* parent)
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
    BuildControls();
    BuildMenu();
    // A fixed single border: the client area stays 640 x 464 below the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    setAcceptDrops(true);
    FormCreate(true);
    PlaceWindow();
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    Image1 = new StageField(client);
    Image1->setGeometry(0, -16, kFieldPictureWidth, kFieldPictureHeight);
    Image1->picture = QImage(kFieldPictureWidth, kFieldPictureHeight, QImage::Format_RGB32);
    Image1->onMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int32_t x,
                                 int32_t y) { Image1MouseDown(button, shift, x, y); };

    Panel1 = new QFrame(client);
    Panel1->setGeometry(8, 424, 33, 33);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Image5 = new QLabel(Panel1);
    Image5->setGeometry(0, 0, 32, 32);

    TrackBar1 = new TrackBar(client);
    TrackBar1->setGeometry(40, 424, 177, 33);
    TrackBar1->setRange(0, kBlockTypeMax);
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });

    RadioGroup1 = new QGroupBox(client);
    RadioGroup1->setGeometry(224, 424, 161, 28);

    // Each button is opaque and covers the one before it, as the three overlap.
    auto radio = [client](const char* text, int32_t x, int32_t width) {
        auto* button = new QRadioButton(QString::fromUtf8(text), client);
        // Wide enough for its caption in this font, but never narrower than on the form.
        button->setGeometry(x, 432, std::max(width, button->sizeHint().width()), 17);
        button->setAutoFillBackground(true);
        return button;
    };
    BlockButton = radio("BlockButton", 232, 113);
    CoinButton = radio("Coin", 280, 97);
    PlayerButton = radio("Player", 328, 49);

    Label2 = new QLabel(QStringLiteral("STAGE:1"), client);
    Label2->setGeometry(408, 420, 45, 12);

    TrackBar2 = new TrackBar(client);
    TrackBar2->setGeometry(392, 432, 241, 45);
    TrackBar2->setRange(1, stageTotal - 1);
    connect(TrackBar2, &QSlider::valueChanged, this, [this] { TrackBar2Change(); });
}

void TForm1::BuildMenu() {
    auto item = [this](QMenu* menu, const char* caption, QKeySequence shortcut,
                       void (TForm1::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QFont font = EditorFont();
    menuBar()->setFont(font);

    file = menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
    file->setFont(font);
    selectfile = item(file, "ファイルを開く(&L)", Qt::Key_F2, &TForm1::selectfileClick);
    New1 = item(file, "新規作成(&N)", Qt::CTRL | Qt::Key_N, &TForm1::New1Click);
    KK1 = item(file, "上書き保存する(&S)", Qt::CTRL | Qt::Key_S, &TForm1::KK1Click);
    save = item(file, "名前を付けて保存する(&A)", Qt::Key_F9, &TForm1::saveClick);
    file->addSeparator();
    Game = item(file, "ゲーム本体を起動する(&G)", Qt::Key_F5, &TForm1::GameClick);
    K1 =
        item(file, "今編集しているステージを起動する(&I)", Qt::CTRL | Qt::Key_F5, &TForm1::K1Click);
    file->addSeparator();
    exit = item(file, "終了(&X)", Qt::Key_F12, &TForm1::exitClick);

    Setting1 = menuBar()->addMenu(QString::fromUtf8("設定(&S)"));
    Setting1->setFont(font);
    K2 = Setting1->addMenu(QString::fromUtf8("マス目変更(&M)"));
    K2->setFont(font);
    gridGroup = new QActionGroup(this);
    gridGroup->setExclusive(true);
    auto grid = [&](const char* caption, void (TForm1::*handler)()) {
        QAction* action = item(K2, caption, QKeySequence(), handler);
        action->setCheckable(true);
        gridGroup->addAction(action);
        return action;
    };
    free1 = grid("free", &TForm1::free1Click);
    N8x81 = grid("8x8", &TForm1::N8x81Click);
    N16x161 = grid("16x16", &TForm1::N16x161Click);
    N32x321 = grid("32x32", &TForm1::N32x321Click);
    N64x641 = grid("64x64", &TForm1::N64x641Click);
    N16x161->setChecked(true);
    stageswap = item(Setting1, "ステージ入れ替え(&C)", Qt::Key_F7, &TForm1::stageswapClick);
    Setting1->addSeparator();
    KS1 = item(Setting1, "ステージ詳細設定(&S)", Qt::Key_F8, &TForm1::KS1Click);
    K3 = item(Setting1, "このゲームの設定", Qt::Key_F11, &TForm1::K3Click);

    KV1 = menuBar()->addMenu(QString::fromUtf8("バージョン情報(&V)"));
    KV1->setFont(font);
    version = item(KV1, "バージョン情報", QKeySequence(), &TForm1::versionClick);
}

void TForm1::FormCreate(bool withArgument) {
    fileName.clear();
    stageTotal = 16;
    stageAuthor.clear();
    setWindowTitle(QString::fromUtf8(kNewFileCaption));
    EditorBlockTable& blocks = *stageBlockTable;
    EditorEntityTable& entities = *stageEntityTable;
    for (int32_t slot = 0; slot < kStageSlots; ++slot) {
        blocks.count[slot] = 0;
        blocks.x[slot].fill(0);
        blocks.y[slot].fill(0);
        blocks.type[slot].fill(0);
        entities.count[slot] = 2;
        entities.x[slot][0] = 32;
        entities.y[slot][0] = 32;
        entities.x[slot][1] = 0;
        entities.y[slot][1] = 5;
    }

    if (withArgument && !arguments_.isEmpty() && HasStageFileExtension(arguments_.first())) {
        QString path = QFileInfo(arguments_.first()).absoluteFilePath();
        if (ReadDocument(path)) {
            fileName = path;
            setWindowTitle(fileName);
        }
    }

    currentStage = 1;
    UpdateStageRange();
    TrackBar2->setValue(1);
    ShowStageNumber();
    gridSize = 16;
    N16x161->setChecked(true);
    Redraw();
    TrackBar1Change();
    BlockButton->setChecked(true);
}

void TForm1::Redraw() {
    QImage& picture = Image1->picture;
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
    Image1->update();
}

void TForm1::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int32_t X, int32_t Y) {
    EditorBlockTable& blocks = *stageBlockTable;
    EditorEntityTable& entities = *stageEntityTable;
    const int32_t s = currentStage;
    if (button == Qt::LeftButton) {
        if (gridSize != 0) {
            X = gridSize * ((X - 16) / gridSize) + 16;
            Y = gridSize * ((Y - 16) / gridSize) + 16;
        }
        if (!CoinButton->isChecked() && !PlayerButton->isChecked()) {
            // A full slot refuses the block; the warning below tells the user to save.
            if (blocks.count[s] < kEditorEntriesPerSlot) {
                const int32_t i = blocks.count[s]++;
                blocks.x[s][i] = X;
                blocks.y[s][i] = Y;
                blocks.type[s][i] = TrackBar1->value();
            }
        } else if (CoinButton->isChecked()) {
            bool taken = false;
            for (int32_t i = 0; i < entities.count[s]; ++i) {
                if (entities.x[s][i] == X && entities.y[s][i] == Y) taken = true;
            }
            if (!taken && entities.count[s] < kEditorEntriesPerSlot) {
                const int32_t i = entities.count[s]++;
                entities.x[s][i] = X;
                entities.y[s][i] = Y;
            }
        } else {
            entities.x[s][0] = X;
            entities.y[s][0] = Y;
        }
    } else if (CoinButton->isChecked()) {
        for (int32_t i = 2; i < entities.count[s]; ++i) {
            const int32_t x = entities.x[s][i];
            const int32_t y = entities.y[s][i];
            if (x < X && X < x + 16 && y < Y && Y < y + 16) {
                entities.x[s][i] = kEmptyMarker;
                entities.y[s][i] = kEmptyMarker;
            }
        }
    } else {
        for (int32_t i = 0; i < blocks.count[s]; ++i) {
            const int32_t x = blocks.x[s][i];
            const int32_t y = blocks.y[s][i];
            const int32_t size = BlockSize(blocks.type[s][i]);
            if (x < X && X < x + size && y < Y && Y < y + size) {
                blocks.x[s][i] = kEmptyMarker;
                blocks.y[s][i] = kEmptyMarker;
                blocks.type[s][i] = kEmptyMarker;
            }
        }
    }
    if (entities.count[s] > kEntryWarningCount || blocks.count[s] > kEntryWarningCount) {
        Message(QString::fromUtf8("注意"), QString::fromUtf8(kTooManyEntriesText), QMessageBox::Ok,
                QMessageBox::Information);
    }
    Redraw();
}

void TForm1::TrackBar1Change() {
    BlockButton->setChecked(true);
    QImage preview(32, 32, QImage::Format_RGB32);
    preview.fill(palette().color(QPalette::Button));
    QRect cell = EditorBlockCell(TrackBar1->value());
    if (!cell.isEmpty()) {
        QPainter painter(&preview);
        painter.drawImage(
            QPoint(0, 0), sheets_.block,
            QRect(cell.topLeft(), QSize(std::min(cell.width(), 32), std::min(cell.height(), 32))));
    }
    Image5->setPixmap(QPixmap::fromImage(preview));
}

void TForm1::TrackBar2Change() {
    currentStage = TrackBar2->value();
    ShowStageNumber();
    Redraw();
}

void TForm1::UpdateStageRange() {
    const int32_t last = std::clamp(stageTotal - 1, 1, kStageSlots - 1);
    if (currentStage > last) currentStage = last;
    if (currentStage < 1) currentStage = 1;
    const QSignalBlocker blocker(TrackBar2);
    TrackBar2->setRange(1, last);
    TrackBar2->setValue(currentStage);
    ShowStageNumber();
}

void TForm1::ShowStageNumber() {
    // The label sizes itself to its text from its top-left corner.
    Label2->setText(QStringLiteral("STAGE:") + QString::number(currentStage));
    Label2->adjustSize();
}

void TForm1::FilesDropped(const QStringList& names) {
    if (names.isEmpty()) return;
    const QString& name = names.last();  // only the last of several counts
    if (!HasStageFileExtension(name)) return;
    QString path = QFileInfo(name).absoluteFilePath();
    if (!ReadDocument(path)) return;
    fileName = path;
    Redraw();
    setWindowTitle(fileName);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList names;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) names.append(url.toLocalFile());
    }
    FilesDropped(names);
    event->acceptProposedAction();
}

void TForm1::PlaceWindow() {
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

QMessageBox::StandardButton TForm1::Message(const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon) {
    return services_.MessageBox(this, caption, text, buttons, icon);
}

}  // namespace zarp::editor
