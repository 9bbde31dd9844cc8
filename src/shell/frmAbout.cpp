#include "shell/frmAbout.h"

#include "shell/product_picture.h"
#include "shell/version.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Tarsen Rigsmith"));
    setModal(true);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(shell::productPicture(devicePixelRatioF()));
    m_image1->setFixedSize(shell::productPictureSize);

    m_label1 = new QLabel(tr("Tarsen Rigsmith"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSizeF(15.75);
    titleFont.setBold(true);
    m_label1->setFont(titleFont);

    m_lblBuild = new QLabel(this);
    m_lblBuild->setObjectName(QStringLiteral("lblBuild"));

    m_lblDisclaimer = new QLabel(QString(), this);
    m_lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    m_lblDisclaimer->setWordWrap(true);

    m_cmdOK = new QPushButton(tr("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_lblBuild);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_image1, 0, Qt::AlignHCenter);
    layout->addWidget(m_label1);
    layout->addWidget(m_lblDisclaimer);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Form_Load();
}

QString frmAbout::buildText(int major, int minor, int revision)
{
    return tr("Build %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void frmAbout::Form_Load() { m_lblBuild->setText(buildText(shell::versionMajor, shell::versionMinor, shell::versionRevision)); }

void frmAbout::cmdOK_Click() { accept(); }
