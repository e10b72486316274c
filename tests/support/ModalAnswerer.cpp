#include "support/ModalAnswerer.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "shell/DirListBox.h"
#include "shell/frmbrowse.h"

namespace caldra::test {

bool ModalAnswers::wait(int timeoutMs) const
{
    (void)QTest::qWaitFor([this] { return done(); }, timeoutMs);
    const bool answered = m_next == m_actions.size() && m_failure.isEmpty();
    EXPECT_TRUE(answered) << m_failure.toStdString();
    return answered;
}

void ModalAnswers::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    const bool known = !modal || std::count(m_ignored.begin(), m_ignored.end(), modal) > 0;
    if (!known && modal->isVisible()) {
        m_ignored.emplace_back(modal);
        const ModalAction action = m_actions.at(m_next++);
        action(modal);
    } else if (QDateTime::currentMSecsSinceEpoch() > m_deadline) {
        // Closed, so that a window nobody expected cannot leave the test waiting.
        m_failure = known ? QStringLiteral("no modal window for answer %1").arg(m_next + 1)
                          : u"unexpected modal window \"" + modal->windowTitle() + u'"';
        if (!known)
            modal->close();
    }
}

std::shared_ptr<ModalAnswers> answerModals(std::vector<ModalAction> actions, int timeoutMs)
{
    auto answers = std::make_shared<ModalAnswers>();
    answers->m_actions = std::move(actions);
    answers->m_deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isModal())
            answers->m_ignored.emplace_back(w);
    }
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, weak = std::weak_ptr(answers)] {
        if (auto self = weak.lock(); self && !self->done())
            return self->poll();
        timer->deleteLater();
    });
    timer->start(15);
    return answers;
}

void clickAnswering(QWidget *button, std::vector<ModalAction> actions)
{
    auto answers = answerModals(std::move(actions));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(answers->wait());
    // A window manager gives the activation back to the window under a closed
    // dialog; the offscreen platform has none, and without it no control of
    // the window would get the focus again.
    button->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()));
}

ModalAction chooseFile(const QString &path)
{
    return [path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *name = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!dialog || !name)
            return modal->close(), void();
        // Typed into the name box as a whole path: selecting it instead only
        // works once the dialog has read the folder, and not at all while the
        // name box has the focus. Accepted through QDialog, as the dialog's
        // own button would, so that the name is checked.
        name->setText(path);
        static_cast<QDialog *>(dialog)->accept();
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the file dialog did not take " << path.toStdString();
            dialog->reject();
        }
    };
}

ModalAction cancelDialog()
{
    return [](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    };
}

ModalAction pickFolder(const QString &folder, PickerButton button)
{
    return [folder, button](QWidget *modal) {
        auto *picker = qobject_cast<frmbrowse *>(modal);
        if (!picker)
            return modal->close(), void();
        picker->Dir1->setPath(folder);
        (button == PickerButton::Open ? picker->cmdopen : picker->cmd)->click();
    };
}

} // namespace caldra::test
