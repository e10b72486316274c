#include "shell/frmAbout.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "caldra_version.h"
#include "platform/Controls.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"

namespace caldra {

namespace {

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoLocKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocValue = QStringLiteral("MSINFO");

QFrame *makeLine(QWidget *parent, const QString &name, const QRect &rect, const QColor &color)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setGeometry(rect);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, color);
    line->setPalette(p);
    return line;
}

} // namespace

frmAbout::frmAbout(const Services &services, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(twips(5730), twips(3720));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(4245, 2625, 1260, 345));
    cmdOK->setDefault(true);

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(twipsRect(4260, 3075, 1245, 345));
    cmdSysInfo->setAutoDefault(false);

    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    lblDescription = makeLabel(this, QStringLiteral("lblDescription"),
                               QStringLiteral("Creating Lyrics, Editing Id3, Playlist creator"),
                               twipsRect(1050, 1125, 3885, 810), topLeft);
    lblDisclaimer = makeLabel(this, QStringLiteral("lblDisclaimer"), QString(),
                              twipsRect(240, 2280, 3870, 1275), topLeft);
    lblDisclaimer->setWordWrap(true);
    lblVersion = makeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("1.0"),
                           twipsRect(1050, 780, 3885, 225), topLeft);
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Caldra by the Caldra team"),
                       twipsRect(960, 240, 3975, 375), topLeft);
    for (QLabel *black : {lblDescription, lblDisclaimer}) {
        QPalette p = black->palette();
        p.setColor(QPalette::WindowText, Qt::black);
        black->setPalette(p);
    }

    // Grey over white: the etched separator.
    Line1_1 = makeLine(this, QStringLiteral("Line1(1)"), QRect(0, twips(2040), twips(5564), 1),
                       QColor(128, 128, 128));
    Line1_0 = makeLine(this, QStringLiteral("Line1(0)"),
                       QRect(twips(105), twips(2040) + 1, twips(5654) - twips(105), 2), Qt::white);

    setTabOrder(cmdOK, cmdSysInfo);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    placeAt(this, QPoint(twips(2340), twips(1935)), owner);
}

void frmAbout::showModal()
{
    Form_Load();
    exec();
}

void frmAbout::Form_Load()
{
    setWindowTitle(u"About " + appTitle());
    lblVersion->setText(u"Version " + QString::number(VersionMajor) + u'.'
                        + QString::number(VersionMinor) + u'.' + QString::number(VersionRevision));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    QString sysInfoPath;
    if (GetKeyValue(reg::HkeyLocalMachine, kSysInfoKey, kSysInfoValue, sysInfoPath)) {
        if (m_services.launcher->start(sysInfoPath))
            return;
    } else if (GetKeyValue(reg::HkeyLocalMachine, kSysInfoLocKey, kSysInfoLocValue, sysInfoPath)) {
        const QString exe = sysInfoPath + u"\\MSINFO32.EXE";
        if (m_services.files->fileExists(exe) && m_services.launcher->start(exe))
            return;
    }
    m_services.messages->show(this,
                              QStringLiteral("System Information Is Unavailable At This Time"));
}

bool frmAbout::GetKeyValue(reg::Key keyRoot, const QString &keyName, const QString &subKeyRef,
                           QString &keyVal)
{
    RegistryService &registry = *m_services.registry;
    reg::Key key = 0;
    bool opened = false;
    const auto fail = [&] {
        keyVal.clear();
        if (opened)
            registry.closeKey(key);
        return false;
    };

    if (registry.openKey(keyRoot, keyName, reg::KeyAllAccess, &key) != reg::ErrorSuccess)
        return fail();
    opened = true;

    QByteArray buffer(1024, '\0');
    std::uint32_t size = 1024;
    std::uint32_t type = 0;
    if (registry.queryValue(key, subKeyRef, &type, &buffer, &size) != reg::ErrorSuccess)
        return fail();
    // A size of 0 leaves nothing to look at: the lookup fails.
    if (size == 0 || size > static_cast<std::uint32_t>(buffer.size()))
        return fail();

    const QByteArray kept = buffer.at(size - 1) == '\0' ? buffer.left(size - 1) : buffer.left(size);
    if (type == reg::RegSz) {
        keyVal = QString::fromLocal8Bit(kept);
    } else if (type == reg::RegDword) {
        std::uint64_t number = 0;
        for (qsizetype i = kept.size() - 1; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(kept.at(i));
        keyVal = QString::number(number);
    }
    registry.closeKey(key);
    return true;
}

} // namespace caldra
