// The stage's and the set's settings, exchanging stages, the grid and the version box.
#include <QAction>
#include <QStringDecoder>
#include <algorithm>
#include <utility>

#include "editor/TForm1.h"

namespace zarp::editor {

namespace {

// The author line may not break the file's one-value-per-line layout.
QString SingleLine(QString text) {
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

}  // namespace

bool ParseInteger(const QString& text, int32_t& value) {
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    qsizetype start = trimmed.front() == u'-' || trimmed.front() == u'+' ? 1 : 0;
    if (start == trimmed.size()) return false;
    for (qsizetype i = start; i < trimmed.size(); ++i) {
        if (trimmed[i] < u'0' || trimmed[i] > u'9') return false;
    }
    bool ok = false;
    const qlonglong number = trimmed.toLongLong(&ok, 10);
    if (!ok || number < INT32_MIN || number > INT32_MAX) return false;
    value = static_cast<int32_t>(number);
    return true;
}

bool TForm1::AskNumber(const QString& prompt, const QString& defaultText, bool& answered,
                       int32_t& value) {
    const QString caption = QString::fromUtf8(kApplicationTitle);
    QString answer = services_.InputBox(this, caption, prompt, defaultText);
    answered = !answer.isEmpty();
    if (!answered) return true;
    if (!ParseInteger(answer, value)) {
        Message(caption, QStringLiteral("'%1' is not a valid integer value").arg(answer),
                QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    return true;
}

QString TForm1::AuthorText() const {
    const QByteArray bytes = QByteArray::fromStdString(stageAuthor);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    // Sets made on Windows carry their author in Shift-JIS.
    QStringDecoder shiftJis("Shift_JIS", QStringDecoder::Flag::Stateless);
    if (shiftJis.isValid()) return shiftJis.decode(bytes);
    return QString::fromLatin1(bytes);
}

void TForm1::KS1Click() {
    int32_t& startAngle = stageEntityTable->x[currentStage][1];
    int32_t& rest = stageEntityTable->y[currentStage][1];
    bool answered = false;
    int32_t value = 0;
    // Entered in degrees, kept in units of 2 degrees; more than two turns or less than none
    // starts at 0.
    if (!AskNumber(QString::fromUtf8("カーソルの初期角度を入力してください (0-360)"),
                   QString::number(static_cast<int64_t>(startAngle) * 2), answered, value)) {
        return;
    }
    if (!answered) return;
    startAngle = value < 0 || value > 720 ? 0 : value / 2;

    if (!AskNumber(QString::fromUtf8("残機数を入力してください(1-9)"), QString::number(rest),
                   answered, value)) {
        return;
    }
    if (answered) rest = value < 1 || value > 9 ? 5 : value;
}

void TForm1::K3Click() {
    const QString caption = QString::fromUtf8(kApplicationTitle);
    const QString shown = AuthorText();
    QString answer = services_.InputBox(
        this, caption, QString::fromUtf8("制作者の名前を入力してください（半角１６文字まで）"),
        shown);
    // An unchanged answer keeps the bytes as they came from the file; an edited name is
    // written in UTF-8.
    if (!answer.isEmpty() && answer != shown) {
        stageAuthor = SingleLine(answer).toUtf8().toStdString();
        if (stageAuthor.size() > 16) {
            Message(
                caption,
                QString::fromUtf8("制作者の名前が半角１６文字（１６バイト）を超えています。"
                                  "このまま使いますが、ゲームでは表示しきれないことがあります。"),
                QMessageBox::Ok, QMessageBox::Information);
        }
    }

    bool answered = false;
    int32_t value = 0;
    if (!AskNumber(QString::fromUtf8("ステージの合計を入力してください(1-20)"),
                   QString::number(stageTotal - 1), answered, value)) {
        return;
    }
    if (!answered) return;
    const int64_t total = static_cast<int64_t>(value) + 1;
    stageTotal = total < 2 || total > kStageSlots ? 16 : static_cast<int32_t>(total);
    UpdateStageRange();
    Redraw();
}

void TForm1::stageswapClick() {
    bool answered = false;
    int32_t other = 0;
    if (!AskNumber(QString::fromUtf8("現ステージと入れ替えるところを入力してください"), QString(),
                   answered, other)) {
        return;
    }
    if (!answered || other < 1 || other > stageTotal - 1 || other >= kStageSlots) return;
    // Whole slots travel, the player's start and the stage settings with them.
    EditorBlockTable& blocks = *stageBlockTable;
    EditorEntityTable& entities = *stageEntityTable;
    std::swap(blocks.count[other], blocks.count[currentStage]);
    std::swap(blocks.x[other], blocks.x[currentStage]);
    std::swap(blocks.y[other], blocks.y[currentStage]);
    std::swap(blocks.type[other], blocks.type[currentStage]);
    std::swap(entities.count[other], entities.count[currentStage]);
    std::swap(entities.x[other], entities.x[currentStage]);
    std::swap(entities.y[other], entities.y[currentStage]);
    Redraw();
}

void TForm1::SetGrid(int32_t size, QAction* item) {
    item->setChecked(true);
    gridSize = size;
    Redraw();
}

void TForm1::free1Click() {
    SetGrid(0, free1);
}
void TForm1::N8x81Click() {
    SetGrid(8, N8x81);
}
void TForm1::N16x161Click() {
    SetGrid(16, N16x161);
}
void TForm1::N32x321Click() {
    SetGrid(32, N32x321);
}
void TForm1::N64x641Click() {
    SetGrid(64, N64x641);
}

void TForm1::versionClick() {
    QMessageBox::StandardButton answer =
        Message(QStringLiteral("Version"),
                QString::fromUtf8("Zarpane Stage Editor\nバージョン " ZARP_VERSION
                                  "\n\n作者のひとことを表示しますか？"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Information);
    if (answer == QMessageBox::No) return;
    Message(QString::fromUtf8(kApplicationTitle),
            QString::fromUtf8("ステージができたら、ゲームの作業フォルダに .zrp ファイルとして"
                              "置いてください。タイトルの USER'S STAGE から遊べます。\n"
                              "zrptool check で、ゲームに読めるかどうかを確かめられます。"),
            QMessageBox::Ok, QMessageBox::NoIcon);
}

}  // namespace zarp::editor
