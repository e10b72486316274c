#pragma once

#include <QDialog>

#include "platform/Services.h"

namespace caldra {
class frmMain;

class frmVarlo : public QDialog {
    Q_OBJECT
public:
    frmVarlo(const Services &services, frmMain &main, QWidget *parent = nullptr);

    void Form_Load();

private:
    Services m_services;
    frmMain &m_main;
};

} // namespace caldra
