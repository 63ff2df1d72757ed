// Checking the stage shown: the solver on a worker thread, its progress and Cancel in the
// strip, the result in words and the solution's path on the field until the next edit.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QUndoStack>
#include <memory>

#include "editor/MainWindow.h"
#include "editor/StageCheck.h"

namespace zarp::editor {

struct MainWindow::RunningCheck {
    std::atomic<bool> cancel{false};
    int32_t slot = 1;
    int64_t revision = 0;
    StageCheck result;
    QThread* thread = nullptr;
};

bool MainWindow::CheckRunning() const {
    return check_ != nullptr;
}

void MainWindow::CheckStage() {
    if (check_) return;
    auto check = std::make_shared<RunningCheck>();
    check->slot = currentStage;
    check->revision = revision_;
    // The worker gets its own copy of the document: editing goes on meanwhile.
    auto blocks = std::make_shared<EditorBlockTable>(*stageBlockTable);
    auto entities = std::make_shared<EditorEntityTable>(*stageEntityTable);
    // The window, and so the label, outlives the worker: its destructor waits for it.
    QLabel* line = checkInfo;
    check->thread = QThread::create([check, blocks, entities, line] {
        check->result = editor::CheckStage(
            *blocks, *entities, check->slot, &check->cancel, [line](const std::string& progress) {
                const QString text = QString::fromStdString(progress);
                QMetaObject::invokeMethod(
                    line, [line, text] { line->setText(text); }, Qt::QueuedConnection);
            });
    });
    connect(check->thread, &QThread::finished, this, [this] { CheckFinished(); });
    check_ = check;
    checkStageAction->setEnabled(false);
    checkInfo->setText(tr("ステージ%1を確かめています…").arg(check->slot));
    checkInfo->show();
    cancelCheckButton->show();
    check->thread->start();
}

void MainWindow::CancelCheck() {
    if (check_) check_->cancel = true;
}

void MainWindow::StopCheck() {
    if (!check_) return;
    check_->cancel = true;
    check_->thread->wait();
    delete check_->thread;
    check_.reset();
}

void MainWindow::CheckFinished() {
    std::shared_ptr<RunningCheck> check = std::move(check_);
    check_.reset();
    check->thread->wait();
    check->thread->deleteLater();
    checkStageAction->setEnabled(true);
    cancelCheckButton->hide();
    checkInfo->hide();
    if (check->cancel) {
        statusBar()->showMessage(tr("確認を中止しました"), 5000);
        return;
    }
    const StageCheck& result = check->result;
    const QString caption = QString::fromUtf8(kApplicationTitle);
    if (!result.ok) {
        Message(caption, QString::fromStdString(result.error), QMessageBox::Ok,
                QMessageBox::Critical);
        return;
    }
    const zrptool::SolveResult& solve = result.solve;
    QString text;
    if (!result.hasStart) {
        text = tr("ステージ%1にはスタートと設定がありません。ゲームはこのステージを遊べません。")
                   .arg(check->slot);
    } else if (!result.hasGoal) {
        text = tr("ステージ%1にはゴールがありません。クリアできません。").arg(check->slot);
    } else if (solve.status == zrptool::SolveStatus::Solved) {
        text = tr("ステージ%1は %2 手中 %3 手でクリアできます（コイン %4 / %5 枚）。")
                   .arg(check->slot)
                   .arg(solve.rest)
                   .arg(solve.shots.size())
                   .arg(solve.coins)
                   .arg(result.coinCount);
    } else if (solve.status == zrptool::SolveStatus::Unsolvable) {
        text = tr("ステージ%1は %2 手ではクリアする道が見つかりませんでした。")
                   .arg(check->slot)
                   .arg(solve.rest);
    } else {
        text = tr("ステージ%1は時間内に確かめきれませんでした。").arg(check->slot);
    }
    lastCheckText = text;
    // The path belongs to the document as it was checked: shown until the next edit.
    if (solve.status == zrptool::SolveStatus::Solved && check->revision == revision_) {
        ShowSolution(check->slot, result.shots);
    }
    Message(caption, text, QMessageBox::Ok, QMessageBox::Information);
}

void MainWindow::ShowSolution(int32_t slot, const std::vector<std::vector<PathPoint>>& shots) {
    solutionSlot_ = slot;
    solution_.clear();
    for (const std::vector<PathPoint>& shot : shots) {
        std::vector<QPointF> points;
        points.reserve(shot.size());
        for (const PathPoint& point : shot)
            points.emplace_back(point.x, point.y);
        solution_.push_back(std::move(points));
    }
    UpdateInformation();
}

void MainWindow::ForgetSolution() {
    if (solution_.empty()) return;
    solution_.clear();
    UpdateInformation();
}

}  // namespace zarp::editor
