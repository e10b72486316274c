#pragma once

#include <QDialog>

#include "platform/Services.h"

namespace caldra {

class frmId3 : public QDialog {
    Q_OBJECT
public:
    explicit frmId3(const Services &services, QWidget *parent = nullptr);

    void Form_Load();

    // Names the file the window reads while it loads; nothing else.
    void SetVar(const QString &filen) { CurrentFile = filen; }

    QString CurrentFile;

private:
    Services m_services;

};

} // namespace caldra
