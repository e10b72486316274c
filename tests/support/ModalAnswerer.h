#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "support/QtPrinters.h"

namespace caldra::test {

using ModalAction = std::function<void(QWidget *modal)>;

// Answers modal windows as a user would: each action runs on the next modal
// window that opens, in order, once it is shown and its event loop runs.
// Windows already open when the answers are scheduled are never touched.
// If an expected window does not come within the time-out, or an unexpected
// one is still open then, it is closed so the test cannot hang, and the
// answers report failure.
class ModalAnswers {
public:
    // Waits (processing events) until every action ran or the time-out passed;
    // false, and a test failure saying why, when they did not.
    bool wait(int timeoutMs = 10000) const;

private:
    friend std::shared_ptr<ModalAnswers> answerModals(std::vector<ModalAction>, int);
    bool done() const { return m_next == m_actions.size() || !m_failure.isEmpty(); }
    void poll();

    std::vector<ModalAction> m_actions;
    size_t m_next = 0;
    std::vector<QPointer<QWidget>> m_ignored;
    QString m_failure;
    qint64 m_deadline = 0;
};

std::shared_ptr<ModalAnswers> answerModals(std::vector<ModalAction> actions, int timeoutMs = 15000);
inline std::shared_ptr<ModalAnswers> answerModal(ModalAction action, int timeoutMs = 15000)
{
    return answerModals({std::move(action)}, timeoutMs);
}

// Clicks a button and answers, in order, the windows it opens.
void clickAnswering(QWidget *button, std::vector<ModalAction> actions);

// Common answers.
ModalAction chooseFile(const QString &path); // a file dialog
ModalAction cancelDialog(); // any dialog: Cancel / Escape
enum class PickerButton { Open, Cancel };
ModalAction pickFolder(const QString &folder, PickerButton button); // the folder picker

} // namespace caldra::test
