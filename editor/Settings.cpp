// The stage's and the set's settings, exchanging stages, the grid and the version box.
#include <QAction>
#include <QActionGroup>
#include <QStringDecoder>
#include <QUndoStack>
#include <algorithm>
#include <utility>

#include "editor/MainWindow.h"
#include "editor/UndoCommands.h"

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

bool MainWindow::AskNumber(const QString& prompt, const QString& defaultText, bool& answered,
                           int32_t& value) {
    const QString caption = QString::fromUtf8(kApplicationTitle);
    QString answer = services_.InputBox(this, caption, prompt, defaultText);
    answered = !answer.isEmpty();
    if (!answered) return true;
    if (!ParseInteger(answer, value)) {
        Message(caption, tr("'%1' is not a valid integer value").arg(answer), QMessageBox::Ok,
                QMessageBox::Critical);
        return false;
    }
    return true;
}

QString MainWindow::AuthorText() const {
    const QByteArray bytes = QByteArray::fromStdString(stageAuthor);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    // Sets made on Windows carry their author in Shift-JIS.
    QStringDecoder shiftJis("Shift_JIS", QStringDecoder::Flag::Stateless);
    if (shiftJis.isValid()) return shiftJis.decode(bytes);
    return QString::fromLatin1(bytes);
}

void MainWindow::EditStageDetails() {
    const int32_t s = currentStage;
    int32_t startAngle = stageEntityTable->x[s][1];
    int32_t rest = stageEntityTable->y[s][1];
    bool answered = false;
    int32_t value = 0;
    // Entered in degrees, kept in units of 2 degrees; more than two turns or less than none
    // starts at 0.
    if (!AskNumber(tr("カーソルの初期角度を入力してください (0-360)"),
                   QString::number(static_cast<int64_t>(startAngle) * 2), answered, value)) {
        return;
    }
    if (!answered) return;
    startAngle = value < 0 || value > 720 ? 0 : value / 2;

    // A wrong second answer ends the command, but the angle stays changed.
    if (AskNumber(tr("残機数を入力してください(1-9)"), QString::number(rest), answered, value) &&
        answered) {
        rest = value < 1 || value > 9 ? 5 : value;
    }
    auto edit = std::make_unique<EntryEditCommand>(*this, s, tr("ステージ詳細設定"));
    edit->CompleteStartAndSettings();
    edit->SetEntity(1, startAngle, rest);
    Push(std::move(edit));
}

void MainWindow::EditSetSettings() {
    const QString caption = QString::fromUtf8(kApplicationTitle);
    const QString shown = AuthorText();
    QString answer = services_.InputBox(
        this, caption, tr("制作者の名前を入力してください（半角１６文字まで）"), shown);
    // An unchanged answer keeps the bytes as they came from the file; an edited name is
    // written in UTF-8.
    std::string author = stageAuthor;
    if (!answer.isEmpty() && answer != shown) {
        author = SingleLine(answer).toUtf8().toStdString();
        if (author.size() > 16) {
            Message(caption,
                    tr("制作者の名前が半角１６文字（１６バイト）を超えています。"
                       "このまま使いますが、ゲームでは表示しきれないことがあります。"),
                    QMessageBox::Ok, QMessageBox::Information);
        }
    }

    // The name stays changed whatever the second answer is.
    int32_t total = stageTotal;
    bool answered = false;
    int32_t value = 0;
    if (AskNumber(tr("ステージの合計を入力してください(1-20)"), QString::number(stageTotal - 1),
                  answered, value) &&
        answered) {
        const int64_t wanted = static_cast<int64_t>(value) + 1;
        total = wanted < 2 || wanted > kStageSlots ? 16 : static_cast<int32_t>(wanted);
    }
    if (author != stageAuthor || total != stageTotal) {
        undoStack->push(new SetSettingsCommand(*this, author, total));
    } else {
        // The selector is set again as after any answer.
        StageTotalChanged();
    }
}

void MainWindow::ExchangeStages() {
    bool answered = false;
    int32_t other = 0;
    if (!AskNumber(tr("現ステージと入れ替えるところを入力してください"), QString(), answered,
                   other)) {
        return;
    }
    if (!answered || other < 1 || other > stageTotal - 1 || other >= kStageSlots) return;
    // Exchanging a stage with itself changes nothing, so it leaves nothing to undo.
    if (other == currentStage) {
        Redraw();
        return;
    }
    undoStack->push(new ExchangeStagesCommand(*this, currentStage, other));
}

void MainWindow::ChooseGrid(int32_t size) {
    for (QAction* item : gridGroup->actions()) {
        if (item->data().toInt() == size) item->setChecked(true);
    }
    gridSize = size;
    Redraw();
}

void MainWindow::ShowVersion() {
    QMessageBox::StandardButton answer =
        Message(QStringLiteral("Version"),
                tr("Zarpane Stage Editor\nバージョン %1\n\n作者のひとことを表示しますか？")
                    .arg(QStringLiteral(ZARP_VERSION)),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Information);
    if (answer == QMessageBox::No) return;
    Message(QString::fromUtf8(kApplicationTitle),
            tr("ステージができたら、ゲームの作業フォルダに .zrp ファイルとして"
               "置いてください。タイトルの USER'S STAGE から遊べます。\n"
               "zrptool check で、ゲームに読めるかどうかを確かめられます。"),
            QMessageBox::Ok, QMessageBox::NoIcon);
}

}  // namespace zarp::editor
