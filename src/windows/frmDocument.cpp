#include "windows/frmDocument.h"

#include "core/verify.h"
#include "qtcore/field_text.h"
#include "ui/twips.h"
#include "ui/ui.h"
#include "windows/channel_editors.h"
#include "windows/lamp_history.h"
#include "windows/lamp_model.h"
#include "windows/lamp_wheels.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

int px(double twips) { return ui::twipsToPixels(twips); }

// The number at the start of a text ("12abc" is 12, "3.6" is 3.6); anything else is 0.
double leadingNumber(const QString& text)
{
    const std::string s = text.toStdString();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        number.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            number.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    return std::strtod(number.c_str(), nullptr);
}

// A key that types a character (Return included) rather than moving or commanding.
bool isTyped(const QKeyEvent& key)
{
    const QString text = key.text();
    return !text.isEmpty() && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
           (text.at(0).unicode() >= 0x20 || text.at(0) == QLatin1Char('\r')) && text.at(0).unicode() != 0x7f;
}

}  // namespace

frmDocument::frmDocument(const rig::Lamp& lmpImport, ui::Ui& ui, CommonDialog& dlgCommonDialog, QWidget* parent)
    : QWidget(parent),
      m_lmpImport(lmpImport),
      m_ui(ui),
      m_dlgCommonDialog(dlgCommonDialog)
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new LampModel(m_lamp, this);
    m_undoStack = new QUndoStack(this);
    m_history = new LampHistory(*m_model, *m_undoStack, this);
    m_history->setBeforeApply([this] { discardPending(); });
    createControls();
    resize(px(lamp_layout::initialWidth), px(lamp_layout::initialHeight));
    Form_Resize();
}

frmDocument::~frmDocument()
{
    // The text boxes outlive this object's own part: as they are deleted they lose the
    // focus and finish their editing, which must no longer reach this window.
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        box->removeEventFilter(this);
        disconnect(box, nullptr, this, nullptr);
    }
}

QSize frmDocument::sizeHint() const
{
    // The design size, wider when a larger font has pushed controls to the right.
    int right = 0;
    for (const QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (control != m_controls.Line1 && control != m_controls.Line2)
            right = std::max(right, control->geometry().right() + 1);
    return {std::max(px(lamp_layout::initialWidth), right + px(240)),
            std::max(px(lamp_layout::initialHeight), m_minimumHeight)};
}

void frmDocument::createControls()
{
    lamp_layout::Controls& c = m_controls;
    const auto made = [this](auto* control, const char* name, const lamp_layout::Box& box) {
        control->setObjectName(QLatin1String(name));
        lamp_layout::place(control, box);
        return control;
    };
    const auto line = [this](const char* name, int top) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QLatin1String(name));
        frame->setFrameShape(QFrame::HLine);
        frame->setFrameShadow(QFrame::Sunken);
        lamp_layout::placeLine(frame, top);
        return frame;
    };

    c.txtLampName = made(new QLineEdit(tr("New Lamp"), this), "txtLampName", lamp_layout::txtLampName);
    c.Label1 = made(new QLabel(tr("Number of channels"), this), "Label1", lamp_layout::Label1);
    c.txtNoChannels = made(new QLineEdit(QStringLiteral("6"), this), "txtNoChannels", lamp_layout::txtNoChannels);
    c.Label5 = made(new QLabel(tr("Icon"), this), "Label5", lamp_layout::Label5);
    m_wheels = new LampWheels(*this, *m_model);
    c.cmbIcon = m_wheels->cmbIcon();
    c.Line2 = line("Line2", lamp_layout::Line2Top);

    c.grdChannels = made(new QTableView(this), "grdChannels", lamp_layout::grdChannels);
    c.grdChannels->setModel(m_model);
    c.grdChannels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Several rows can be chosen for the clipboard.
    c.grdChannels->setSelectionMode(QAbstractItemView::ExtendedSelection);
    c.grdChannels->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_editors = new ChannelEditors(*this, this);
    c.grdChannels->setItemDelegate(m_editors);

    c.Label2 = made(new QLabel(tr("You can assign functions to a lamp channel from the list of standard "
                                  "Dornick functions."),
                               this),
                    "Label2", lamp_layout::Label2);
    c.Label3 = made(new QLabel(tr("These functions are used to 'gang' together different lamps with similar "
                                  "attributes."),
                               this),
                    "Label3", lamp_layout::Label3);
    c.Label4 = made(new QLabel(tr("These functions can be given any name when you assign them to wheels in "
                                  "the boxes at the bottom of the window."),
                               this),
                    "Label4", lamp_layout::Label4);
    for (QLabel* label : {c.Label2, c.Label3, c.Label4}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    c.btnVerify = made(new QPushButton(tr("&Verify"), this), "btnVerify", lamp_layout::btnVerify);
    c.Line1 = line("Line1", lamp_layout::Line1Top);
    c.txtWheel = m_wheels->txtWheel();
    c.cmbWheel = m_wheels->cmbWheel();
    c.Command1 = m_wheels->Command1();
    c.lblPage = m_wheels->lblPage();

    connect(c.txtLampName, &QLineEdit::textChanged, this, &frmDocument::txtLampName_Change);
    connect(c.txtNoChannels, &QLineEdit::textChanged, this, &frmDocument::txtNoChannels_Change);
    connect(c.grdChannels, &QTableView::clicked, this, &frmDocument::grdChannels_Click);
    connect(c.grdChannels->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmDocument::grdChannels_LeaveCell);
    connect(c.btnVerify, &QPushButton::clicked, this, &frmDocument::verifyLamp);
    c.grdChannels->installEventFilter(this);

    // The keyboard goes through the window from top to bottom: name, count, icon, the
    // grid (where rows are chosen for the clipboard), Verify, then the wheel area.
    QList<QWidget*> order{c.txtLampName, c.txtNoChannels, c.cmbIcon, c.grdChannels, c.btnVerify};
    for (int i = 0; i < 4; ++i)
        order << c.txtWheel[static_cast<std::size_t>(i)] << c.cmbWheel[static_cast<std::size_t>(i)];
    order << c.Command1;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_model, &LampModel::nameChanged, this, &frmDocument::model_nameChanged);
    connect(m_model, &LampModel::channelCountChanged, this, &frmDocument::model_channelCountChanged);

    // The text boxes hand undo and redo keys to the window's history unless they hold
    // typing of their own; committed typing ends its step.
    QList<QLineEdit*> boxes{c.txtLampName, c.txtNoChannels};
    boxes.append(QList<QLineEdit*>(c.txtWheel.begin(), c.txtWheel.end()));
    for (QLineEdit* box : boxes) {
        box->installEventFilter(this);
        connect(box, &QLineEdit::editingFinished, this, [this, box] { typingCommitted(box); });
    }

    m_minimumHeight = lamp_layout::fitToFont(m_controls);
}

// ---- count and name -----------------------------------------------------------------

void frmDocument::txtNoChannels_Change()
{
    if (m_refreshing)
        return;
    const double n = std::nearbyint(leadingNumber(m_controls.txtNoChannels->text()));
    QLineEdit* box = m_controls.txtNoChannels;
    if (n > static_cast<double>(rig::maxChannels)) {
        m_ui.message(this, tr("This version of Dornick software supports lamps with between 1 and 36 channels"),
                     tr("Change number of channels"), ui::Icon::Exclamation, ui::Buttons::Ok);
        box->setText(QString::number(rig::maxChannels));  // runs this procedure again
        box->selectAll();
    } else if (n < 1.0) {
        box->setText(QStringLiteral("1"));
        box->setSelection(0, 1);
    } else {
        QScopedValueRollback<bool> guard(m_countFromBox, true);
        m_model->setChannelCount(static_cast<int>(n));
    }
}

void frmDocument::txtLampName_Change()
{
    if (!m_refreshing)
        m_model->setName(m_controls.txtLampName->text());
}

void frmDocument::model_nameChanged()
{
    // A name typed here is shown already; one set elsewhere replaces the box's text.
    const rig::Lamp& lamp = m_model->lamp();
    if (rig::FixedText<16>::fromText(rig::toField(m_controls.txtLampName->text())) != lamp.LampName) {
        QScopedValueRollback<bool> guard(m_refreshing, true);
        m_controls.txtLampName->setText(rig::fromField(lamp.LampName, rig::FieldSpaces::Trim));
    }
}

void frmDocument::model_channelCountChanged()
{
    const QString count = QString::number(m_model->rowCount());
    if (!m_countFromBox && m_controls.txtNoChannels->text() != count) {
        QScopedValueRollback<bool> guard(m_refreshing, true);
        m_controls.txtNoChannels->setText(count);
    }
    labelGrid();
}

// ---- channel grid -------------------------------------------------------------------

void frmDocument::labelGrid()
{
    m_minimumHeight = lamp_layout::fitToFont(m_controls);
}

void frmDocument::grdChannels_Click()
{
    // An editor still open belongs to another cell: its edit is taken over first.
    grdChannels_LeaveCell();
    cellEdit();
}

void frmDocument::grdChannels_KeyPress(int /*KeyAscii*/)
{
    grdChannels_LeaveCell();
    cellEdit();
}

void frmDocument::cellEdit()
{
    QTableView* grid = m_controls.grdChannels;
    const QModelIndex cell = grid->currentIndex();
    if (!cell.isValid())
        return;
    grid->scrollTo(cell);
    m_editRow = cell.row() + 1;
    m_editColumn = cell.column() + 1;
    grid->edit(cell);
}

void frmDocument::grdChannels_LeaveCell()
{
    // Closing the focused editor moves the focus, which lands here again.
    if (m_committing)
        return;
    QScopedValueRollback<bool> guard(m_committing, true);
    const QModelIndex cell = m_model->index(m_editRow - 1, m_editColumn - 1);
    m_editRow = 0;
    m_editColumn = 0;
    QWidget* editor = cell.isValid() ? m_controls.grdChannels->indexWidget(cell) : nullptr;
    if (editor == nullptr)
        return;
    emit m_editors->commitData(editor);
    emit m_editors->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// ---- verification -------------------------------------------------------------------

void frmDocument::verifyLamp()
{
    const std::vector<rig::Finding> findings = rig::verifyLamp(m_lamp);
    for (const rig::Finding& finding : findings) {
        const QString text = QString::fromStdString(finding.text);
        if (finding.kind == rig::FindingKind::Warning)
            m_ui.message(this, text, tr("Verify Warning"), ui::Icon::Information, ui::Buttons::Ok);
        else
            m_ui.message(this, text, tr("Verify Error"), ui::Icon::Critical, ui::Buttons::Ok);
    }
    if (!rig::hasError(findings))
        m_ui.message(this, QString::fromLatin1(rig::lampCheckComplete), tr("Rigsmith Verify"),
                     ui::Icon::Information, ui::Buttons::Ok);
}

// ---- layout and events --------------------------------------------------------------

QWidget* frmDocument::outerWindow()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        return frame;
    return this;
}

void frmDocument::Form_Resize()
{
    if (m_resizing)
        return;
    QWidget* frame = outerWindow();
    if (frame->isMinimized())
        return;
    const bool topLevel = frame == this;
    const int outer = topLevel ? frameGeometry().height() : frame->height();
    const int frameExtra = topLevel ? frameGeometry().height() - height() : 0;

    double H = ui::pixelsToTwips(outer);
    if (outer < m_minimumHeight) {
        H = ui::pixelsToTwips(m_minimumHeight);
        QScopedValueRollback<bool> guard(m_resizing, true);
        frame->resize(frame->width(), m_minimumHeight - frameExtra);
    }
    lamp_layout::followFoot(m_controls, H);
}

void frmDocument::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_minimumHeight = lamp_layout::fitToFont(m_controls);
        Form_Resize();
    }
}

void frmDocument::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

bool frmDocument::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Undo and redo reach a text box only while it holds typing it can take back
        // itself; otherwise they go on to the Edit menu, as from anywhere in the window.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (const auto* box = qobject_cast<QLineEdit*>(watched)) {
            if ((key->matches(QKeySequence::Undo) && !box->isUndoAvailable()) ||
                (key->matches(QKeySequence::Redo) && !box->isRedoAvailable())) {
                event->ignore();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    QTableView* grid = m_controls.grdChannels;
    if (watched == grid) {
        if (event->type() == QEvent::FocusIn) {
            grdChannels_LeaveCell();
        } else if (event->type() == QEvent::KeyPress && isTyped(*static_cast<QKeyEvent*>(event))) {
            grdChannels_KeyPress(static_cast<QKeyEvent*>(event)->text().at(0).unicode());
            return true;
        }
    } else if (watched->parent() == grid->viewport() && event->type() == QEvent::FocusOut &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
               !ChannelEditors::isWithin(*static_cast<QWidget*>(watched), QApplication::focusWidget())) {
        // An in-place editor lost the focus to something else than its own drop-down list
        // (the list opened by a second click or the second press of a double-click).
        grdChannels_LeaveCell();
    }
    return QWidget::eventFilter(watched, event);
}
