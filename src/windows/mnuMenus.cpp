#include "windows/mnuMenus.h"

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

mnuMenus::mnuMenus() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("mnuMenus"));
    setAttribute(Qt::WA_DontShowOnScreen);

    m_mnuSSPopUp = new QMenu(this);
    m_mnuSSPopUp->setObjectName(QStringLiteral("mnuSSPopUp"));
    QAction* cut = m_mnuSSCut = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSCut"), tr("Cu&t"));
    QAction* copy = m_mnuSSCopy = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSCopy"), tr("&Copy"));
    QAction* paste = m_mnuSSPaste = namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSPaste"), tr("&Paste"));
    m_mnuSSPopUp->addSeparator();
    QAction* properties = m_mnuSSProperties =
        namedAction(m_mnuSSPopUp, QStringLiteral("mnuSSProperties"), tr("P&roperties"));
    QFont bold = properties->font();
    bold.setBold(true);
    properties->setFont(bold);
    m_mnuSSPopUp->setDefaultAction(properties);

    connect(cut, &QAction::triggered, this, &mnuMenus::mnuSSCut_Click);
    connect(copy, &QAction::triggered, this, &mnuMenus::mnuSSCopy_Click);
    connect(paste, &QAction::triggered, this, &mnuMenus::mnuSSPaste_Click);
    connect(properties, &QAction::triggered, this, &mnuMenus::mnuSSProperties_Click);
}

void mnuMenus::offer(bool onLamp, bool canPaste)
{
    for (QAction* action : {m_mnuSSCut, m_mnuSSCopy, m_mnuSSProperties})
        action->setEnabled(onLamp);
    m_mnuSSPaste->setEnabled(canPaste);
    if (!onLamp)
        m_mnuSSPopUp->setDefaultAction(nullptr);
}

void mnuMenus::mnuSSCut_Click() { emit popActionChosen(popCut); }

void mnuMenus::mnuSSCopy_Click() { emit popActionChosen(popCopy); }

void mnuMenus::mnuSSPaste_Click() { emit popActionChosen(popPaste); }

void mnuMenus::mnuSSProperties_Click() { emit popActionChosen(popProperties); }
