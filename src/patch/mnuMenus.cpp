#include "patch/mnuMenus.h"

#include "patch/frmStageScreen.h"

#include <QAction>
#include <QMenu>

namespace {

QAction* namedAction(QMenu* menu, const QString& name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

}  // namespace

mnuMenus::mnuMenus(frmStageScreen& screen) : QWidget(nullptr), m_screen(screen)
{
    setObjectName(QStringLiteral("mnuMenus"));
    setAttribute(Qt::WA_DontShowOnScreen);

    m_mnuSSPopUp = new QMenu(this);
    m_mnuSSPopUp->setObjectName(QStringLiteral("mnuSSPopUp"));
    QAction* cut = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSCut"), QStringLiteral("Cu&t"));
    QAction* copy = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSCopy"), QStringLiteral("&Copy"));
    QAction* paste = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSPaste"), QStringLiteral("&Paste"));
    m_mnuSSPopUp->addSeparator();
    QAction* properties = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSProperties"), QStringLiteral("P&roperties"));
    copy->setEnabled(false);
    paste->setEnabled(false);
    QFont bold = properties->font();
    bold.setBold(true);
    properties->setFont(bold);
    m_mnuSSPopUp->setDefaultAction(properties);

    connect(cut, &QAction::triggered, this, &mnuMenus::mnuSSCut_Click);
    connect(copy, &QAction::triggered, this, &mnuMenus::mnuSSCopy_Click);
    connect(paste, &QAction::triggered, this, &mnuMenus::mnuSSPaste_Click);
    connect(properties, &QAction::triggered, this, &mnuMenus::mnuSSProperties_Click);
}

void mnuMenus::mnuSSCut_Click() { m_screen.setPopAction(frmStageScreen::popCut); }

void mnuMenus::mnuSSCopy_Click() { m_screen.setPopAction(frmStageScreen::popCopy); }

void mnuMenus::mnuSSPaste_Click() { m_screen.setPopAction(frmStageScreen::popPaste); }

void mnuMenus::mnuSSProperties_Click() { m_screen.setPopAction(frmStageScreen::popProperties); }
