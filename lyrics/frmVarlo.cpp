#include "lyrics/frmVarlo.h"

#include "platform/Twips.h"

namespace caldra {

frmVarlo::frmVarlo(const Services &services, frmMain &main, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmVarlo"));
    setWindowTitle(QStringLiteral("Lyric creator"));
    resize(twips(6975), twips(7935));
}

void frmVarlo::Form_Load()
{
}

} // namespace caldra
