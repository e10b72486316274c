#pragma once

#include <QDialog>

#include "platform/Services.h"

class QFrame;
class QLabel;
class QPushButton;

namespace caldra {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const Services &services, QWidget *owner = nullptr);

    // Runs the load handler, then shows the box modally until it unloads itself.
    void showModal();

    void StartSysInfo();
    // Reads one registry value the way the box always has: on success the
    // value is the text (type 1) or the decimal number (type 4), and other
    // types leave it as it was; on failure it is "" and the result false.
    bool GetKeyValue(reg::Key keyRoot, const QString &keyName, const QString &subKeyRef,
                     QString &keyVal);

    QPushButton *cmdOK;
    QPushButton *cmdSysInfo;
    QLabel *Label1;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QFrame *Line1_0;
    QFrame *Line1_1;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    Services m_services;
};

} // namespace caldra
