#include "tags/frmId3.h"

#include "platform/Twips.h"

namespace caldra {

frmId3::frmId3(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)

{
    setObjectName(QStringLiteral("frmId3"));
    setWindowTitle(QStringLiteral("Edit/View id3 info"));
    resize(twips(7050), twips(5640));
}

void frmId3::Form_Load()
{
}

} // namespace caldra
