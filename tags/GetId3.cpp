#include "tags/GetId3.h"

#include "tags/frmId3.h"

namespace caldra {

void cmdGetId3(const Services &services, const QString &fileTitle, const QString &fileName,
               QWidget *messageParent)
{
    if (fileTitle.right(3).compare(u"WMA", Qt::CaseInsensitive) == 0) {
        services.messages->show(messageParent, QStringLiteral("Wma tags not yet supported"));
        return;
    }
    frmId3 window(services);
    window.SetVar(fileName);
    window.Form_Load();
    window.exec();
}

} // namespace caldra
