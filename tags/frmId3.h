#pragma once

#include <QDialog>

#include "platform/Services.h"

namespace caldra {

class frmId3 : public QDialog {
    Q_OBJECT
public:
    explicit frmId3(const Services &services, QWidget *parent = nullptr);

    void Form_Load();

private:
    Services m_services;

};

} // namespace caldra
