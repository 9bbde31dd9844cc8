#include "windows/dlgSSProperties.h"

#include "core/dmx_conflicts.h"
#include "qtcore/field_text.h"
#include "ui/ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdint>
#include <limits>

namespace {

constexpr int int16Min = std::numeric_limits<std::int16_t>::min();
constexpr int int16Max = std::numeric_limits<std::int16_t>::max();

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* namedBox(const QString& name, QWidget* parent, bool readOnly = false)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    return box;
}

QCheckBox* namedCheck(const QString& name, const QString& text, QWidget* parent)
{
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    return check;
}

QPushButton* namedButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// A ticked box stores 1 and an unticked one 0: the console knows no other values, and
// a stored 2 is shown ticked, so OK makes it the 1 the user saw.
std::uint8_t flagFrom(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

}  // namespace

dlgSSProperties::dlgSSProperties(rig::StagePatch& patch, ui::Ui& ui, QWidget* parent)
    : QDialog(parent),
      m_patch(patch),
      m_ui(ui)
{
    setObjectName(QStringLiteral("dlgSSProperties"));
    setWindowTitle(tr("Lamp Patch Properties"));
    setModal(true);

    m_txtLampNumber = namedBox(QStringLiteral("txtLampNumber"), this, true);
    m_txtNoChans = namedBox(QStringLiteral("txtNoChans"), this, true);
    m_cmbLampType = new QComboBox(this);
    m_cmbLampType->setObjectName(QStringLiteral("cmbLampType"));
    m_txtScreenRow = namedBox(QStringLiteral("txtScreenRow"), this);
    m_txtScreenCol = namedBox(QStringLiteral("txtScreenCol"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(namedLabel(QStringLiteral("lblLampNumber"), tr("Lamp Number"), this), 0, 0);
    fields->addWidget(m_txtLampNumber, 0, 1, 1, 3);
    fields->addWidget(namedLabel(QStringLiteral("lblNoChans"), tr("Number of channels"), this), 1, 0);
    fields->addWidget(m_txtNoChans, 1, 1, 1, 3);
    fields->addWidget(namedLabel(QStringLiteral("lblLampType"), tr("Lamp Type"), this), 2, 0);
    fields->addWidget(m_cmbLampType, 2, 1, 1, 3);
    fields->addWidget(namedLabel(QStringLiteral("lblScreenPosition"), tr("Screen Position"), this), 3, 0);
    fields->addWidget(m_txtScreenRow, 3, 1);
    fields->addWidget(m_txtScreenCol, 3, 2);
    fields->addWidget(namedLabel(QStringLiteral("lblPoint"), tr("Point"), this), 3, 3);

    m_fraPanTilt = new QGroupBox(tr("Pan / Tilt Settings"), this);
    m_fraPanTilt->setObjectName(QStringLiteral("fraPanTilt"));
    m_optPanInv = namedCheck(QStringLiteral("optPanInv"), tr("Pan Invert"), m_fraPanTilt);
    m_optTiltInv = namedCheck(QStringLiteral("optTiltInv"), tr("Tilt Invert"), m_fraPanTilt);
    m_optPanTiltSwap = namedCheck(QStringLiteral("optPanTiltSwap"), tr("Pan / Tilt Swap"), m_fraPanTilt);
    auto* panTilt = new QVBoxLayout(m_fraPanTilt);
    panTilt->addWidget(m_optPanInv);
    panTilt->addWidget(m_optTiltInv);
    panTilt->addWidget(m_optPanTiltSwap);

    m_fraPatch = new QGroupBox(tr("Patching"), this);
    m_fraPatch->setObjectName(QStringLiteral("fraPatch"));
    m_txtStartChan = namedBox(QStringLiteral("txtStartChan"), m_fraPatch);
    m_txtStartDMX = namedBox(QStringLiteral("txtStartDMX"), m_fraPatch);
    m_btnAutoPatch = namedButton(QStringLiteral("btnAutoPatch"), tr("&Patch"), m_fraPatch);
    auto* patching = new QGridLayout(m_fraPatch);
    patching->addWidget(namedLabel(QStringLiteral("lblStartChan"), tr("Start Channel"), m_fraPatch), 0, 0);
    patching->addWidget(m_txtStartChan, 0, 1);
    patching->addWidget(namedLabel(QStringLiteral("lblStartDMX"), tr("Start DMX"), m_fraPatch), 1, 0);
    patching->addWidget(m_txtStartDMX, 1, 1);
    patching->addWidget(m_btnAutoPatch, 2, 1);

    m_btnOK = namedButton(QStringLiteral("btnOK"), tr("&OK"), this);
    m_btnCancel = namedButton(QStringLiteral("btnCancel"), tr("&Cancel"), this);
    m_btnOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnOK);
    buttons->addWidget(m_btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_fraPanTilt);
    layout->addWidget(m_fraPatch);
    layout->addLayout(buttons);

    connect(m_btnAutoPatch, &QPushButton::clicked, this, &dlgSSProperties::btnAutoPatch_Click);
    connect(m_btnOK, &QPushButton::clicked, this, &dlgSSProperties::btnOK_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &dlgSSProperties::btnCancel_Click);

    Form_Load();
}

void dlgSSProperties::Form_Load()
{
    m_cmbLampType->clear();
    for (const rig::Lamp& lamp : m_patch.lmpLamps)
        m_cmbLampType->addItem(rig::fromField(lamp.LampName.str()));
}

bool dlgSSProperties::validTag() const noexcept
{
    return m_tag >= 0 && m_tag < static_cast<int>(rig::patchEntryCount);
}

void dlgSSProperties::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_activated)
        Form_Activate();
}

void dlgSSProperties::Form_Activate()
{
    m_activated = true;
    m_bResponse = false;
    m_txtLampNumber->setText(QString::number(m_tag + 1));
    m_ssEntry = validTag() ? m_patch.patchEntries[static_cast<std::size_t>(m_tag)] : rig::PatchEntry{};
    // A lamp type outside the table (only a file can hold one) shows no name and no channels.
    m_txtNoChans->setText(QString::number(rig::entryChannelCount(m_patch, m_ssEntry)));
    m_txtStartChan->setText(QString::number(m_offeredAddress.value_or(m_ssEntry.StartChannel)));
    m_txtStartDMX->setText(QString::number(m_offeredAddress.value_or(m_ssEntry.StartDMX)));
    m_optPanInv->setChecked(m_ssEntry.PanInvert != 0);
    m_optTiltInv->setChecked(m_ssEntry.TiltInvert != 0);
    m_optPanTiltSwap->setChecked(m_ssEntry.PanTiltSwap != 0);
    m_cmbLampType->setCurrentIndex(m_ssEntry.hasValidLampType() ? m_ssEntry.LampType : -1);
}

void dlgSSProperties::btnAutoPatch_Click()
{
    // The channel count is the one of the type the entry had when the dialog opened.
    const int channels = rig::entryChannelCount(m_patch, m_ssEntry);
    const int address = m_patch.nNextDMX;
    if (address + channels > int16Max) {
        warn(tr("The automatic patch has run out of addresses: the next block would pass %1.")
                 .arg(int16Max) +
             QStringLiteral("\r\n") + tr("Enter a DMX start address by hand."));
        return;
    }
    m_txtStartChan->setText(QString::number(address));
    m_txtStartDMX->setText(QString::number(address));
    m_patch.nNextDMX = static_cast<std::int16_t>(address + channels);
}

void dlgSSProperties::warn(const QString& text)
{
    m_ui.message(this, text, tr("Warning"), ui::Icon::Exclamation, ui::Buttons::Ok);
}

std::optional<int> dlgSSProperties::readNumber(QLineEdit* box, const QString& what, int low, int high)
{
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) {
        warn(tr("%1 must be a whole number from %2 to %3.").arg(what).arg(low).arg(high));
        box->setFocus();
        box->selectAll();
        return std::nullopt;
    }
    return value;
}

void dlgSSProperties::btnOK_Click()
{
    const std::optional<int> startChannel = readNumber(m_txtStartChan, tr("Start Channel"), int16Min, int16Max);
    if (!startChannel)
        return;
    const std::optional<int> startDMX = readNumber(m_txtStartDMX, tr("Start DMX"), int16Min, int16Max);
    if (!startDMX)
        return;
    if (*startDMX == 0) {
        warn(tr("This lamp has not been assigned a DMX start address.") + QStringLiteral("\r\n") +
             tr("Rigsmith can not add this lamp unless a valid") + QStringLiteral("\r\n") +
             tr("is given"));
        return;
    }
    const std::optional<int> row = readNumber(m_txtScreenRow, tr("The screen row"), 1, rig::stageRows);
    if (!row)
        return;
    const std::optional<int> col = readNumber(m_txtScreenCol, tr("The screen column"), 1, rig::stageCols);
    if (!col)
        return;
    if (!validTag()) {
        btnCancel_Click();
        return;
    }

    m_ssEntry.StartChannel = static_cast<std::int16_t>(*startChannel);
    m_ssEntry.StartDMX = static_cast<std::int16_t>(*startDMX);
    m_ssEntry.ScreenCol = static_cast<std::uint8_t>(*col - 1);
    m_ssEntry.ScreenRow = static_cast<std::uint8_t>(*row - 1);
    m_ssEntry.PanInvert = flagFrom(m_optPanInv);
    m_ssEntry.TiltInvert = flagFrom(m_optTiltInv);
    m_ssEntry.PanTiltSwap = flagFrom(m_optPanTiltSwap);
    // With nothing selected the entry keeps its type, or the first slot when its
    // stored type names no slot at all.
    if (m_cmbLampType->currentIndex() >= 0)
        m_ssEntry.LampType = static_cast<std::int16_t>(m_cmbLampType->currentIndex());
    else if (!m_ssEntry.hasValidLampType())
        m_ssEntry.LampType = 0;

    m_patch.patchEntries[static_cast<std::size_t>(m_tag)] = m_ssEntry;
    m_bResponse = true;
    accept();
}

void dlgSSProperties::btnCancel_Click()
{
    m_bResponse = false;
    reject();
}
