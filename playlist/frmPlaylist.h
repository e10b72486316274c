#pragma once

#include <QDialog>

#include "platform/Services.h"

namespace caldra {

class frmPlaylist : public QDialog {
    Q_OBJECT
public:
    explicit frmPlaylist(const Services &services, QWidget *parent = nullptr);

    void Form_Load();

private:
    Services m_services;

};

} // namespace caldra
