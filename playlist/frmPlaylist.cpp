#include "playlist/frmPlaylist.h"

#include "platform/Twips.h"

namespace caldra {

frmPlaylist::frmPlaylist(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)

{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Playlist creator"));
    resize(twips(8190), twips(4290));
}

void frmPlaylist::Form_Load()
{
}

} // namespace caldra
