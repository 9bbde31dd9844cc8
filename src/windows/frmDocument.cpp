#include "windows/frmDocument.h"

#include "core/function_names.h"
#include "core/verify.h"
#include "ui/common_dialog.h"
#include "base/file_io.h"
#include "base/rig_error.h"
#include "qtcore/field_text.h"
#include "ui/twips.h"
#include "qtcore/file_names.h"
#include "ui/ui.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QStringList>
#include <QTableWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int minimumHeightTwips = 5400;
// Outer size of a new window: the layout rule then puts every control at its design place.
constexpr int initialWidthTwips = 9480;
constexpr int initialHeightTwips = 7140;
constexpr int wheelPages = 8;
constexpr int maxStep = 255;

const QString crlf = QStringLiteral("\r\n");
QString appTitle() { return frmDocument::tr("Tarsen Rigsmith"); }

int px(double twips) { return ui::twipsToPixels(twips); }

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

// Names are shown without their leading and trailing spaces; only spaces count.
QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString functionText(int code) { return trimSpaces(rig::fromField(rig::functionName(code))); }
QString paletteText(int code) { return trimSpaces(rig::fromField(rig::paletteTypeName(code))); }

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

bool isLostFocus(QEvent* event, bool ignoreWindowSwitch)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Opening the list's own pop-up is not leaving it.
    if (reason == Qt::PopupFocusReason)
        return false;
    return !(ignoreWindowSwitch && reason == Qt::ActiveWindowFocusReason);
}

}  // namespace

// The in-place editors are made by the grid for one edit and discarded afterwards; the
// window fills them from the lamp and takes their value back into it.
class frmDocument::ChannelEditors final : public QStyledItemDelegate {
public:
    explicit ChannelEditors(frmDocument& window) : QStyledItemDelegate(&window), m_window(window) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                          const QModelIndex& index) const override
    {
        QWidget* editor = nullptr;
        if (index.column() == 2) {
            editor = new QLineEdit(parent);
            editor->setObjectName(QStringLiteral("txtEdit"));
        } else {
            editor = new QComboBox(parent);
            editor->setObjectName(QStringLiteral("cmbEdit"));
        }
        // The window hears the editor losing the focus, as it does its own controls.
        editor->installEventFilter(&m_window);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        m_window.showInEditor(*editor, index.row(), index.column());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* /*model*/, const QModelIndex& index) const override
    {
        m_window.takeFromEditor(*editor, index.row(), index.column());
    }

private:
    frmDocument& m_window;
};

frmDocument::frmDocument(const rig::Lamp& lmpImport, ui::Ui& ui, CommonDialog& dlgCommonDialog, QWidget* parent)
    : QWidget(parent),
      m_lmpImport(lmpImport),
      m_ui(ui),
      m_dlgCommonDialog(dlgCommonDialog)
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    resize(px(initialWidthTwips), px(initialHeightTwips));
    Form_Resize();
}

frmDocument::~frmDocument() = default;

QSize frmDocument::sizeHint() const
{
    // The design size, wider when a larger font has pushed controls to the right.
    int right = 0;
    for (const QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (control != m_Line1 && control != m_Line2)
            right = std::max(right, control->geometry().right() + 1);
    return {std::max(px(initialWidthTwips), right + px(240)), std::max(px(initialHeightTwips), m_minimumHeight)};
}

void frmDocument::createControls()
{
    m_txtLampName = new QLineEdit(tr("New Lamp"), this);
    m_txtLampName->setObjectName(QStringLiteral("txtLampName"));
    place(m_txtLampName, 240, 120, 3975, 495);

    m_Label1 = new QLabel(tr("Number of channels"), this);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    place(m_Label1, 4320, 120, 2130, 300);

    m_txtNoChannels = new QLineEdit(QStringLiteral("6"), this);
    m_txtNoChannels->setObjectName(QStringLiteral("txtNoChannels"));
    place(m_txtNoChannels, 6600, 75, 615, 525);

    m_Label5 = new QLabel(tr("Icon"), this);
    m_Label5->setObjectName(QStringLiteral("Label5"));
    place(m_Label5, 7320, 120, 465, 300);

    m_cmbIcon = new QComboBox(this);
    m_cmbIcon->setObjectName(QStringLiteral("cmbIcon"));
    for (const auto& icon : rig::iconCodes)
        m_cmbIcon->addItem(QString::fromLatin1(icon.name), icon.code);
    m_cmbIcon->setCurrentIndex(-1);
    place(m_cmbIcon, 7920, 60, 1335, 420);

    m_Line2 = new QFrame(this);
    m_Line2->setObjectName(QStringLiteral("Line2"));
    m_Line2->setFrameShape(QFrame::HLine);
    m_Line2->setFrameShadow(QFrame::Sunken);
    m_Line2->setGeometry(0, px(720), px(9240), 2);

    m_grdChannels = new QTableWidget(1, 3, this);
    m_grdChannels->setObjectName(QStringLiteral("grdChannels"));
    m_grdChannels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdChannels->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdChannels->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    place(m_grdChannels, 240, 840, 5175, 4575);

    m_editors = new ChannelEditors(*this);
    m_grdChannels->setItemDelegate(m_editors);

    m_Label2 = new QLabel(tr("You can assign functions to a lamp channel from the list of standard "
                             "Dornick functions."),
                          this);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    place(m_Label2, 6240, 840, 2775, 615);

    m_Label3 = new QLabel(tr("These functions are used to 'gang' together different lamps with similar "
                             "attributes."),
                          this);
    m_Label3->setObjectName(QStringLiteral("Label3"));
    place(m_Label3, 6240, 1680, 2895, 615);

    m_Label4 = new QLabel(tr("These functions can be given any name when you assign them to wheels in "
                             "the boxes at the bottom of the window."),
                          this);
    m_Label4->setObjectName(QStringLiteral("Label4"));
    place(m_Label4, 6240, 2400, 3015, 615);
    for (QLabel* label : {m_Label2, m_Label3, m_Label4}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    m_btnVerify = new QPushButton(tr("&Verify"), this);
    m_btnVerify->setObjectName(QStringLiteral("btnVerify"));
    place(m_btnVerify, 6240, 3240, 1335, 375);

    m_Line1 = new QFrame(this);
    m_Line1->setObjectName(QStringLiteral("Line1"));
    m_Line1->setFrameShape(QFrame::HLine);
    m_Line1->setFrameShadow(QFrame::Sunken);
    m_Line1->setGeometry(0, px(5520), px(9240), 2);

    for (int i = 0; i < 4; ++i) {
        QLineEdit* name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("txtWheel%1").arg(i));
        place(name, 240 + 1800 * i, 5640, 1455, 375);
        m_txtWheel[static_cast<std::size_t>(i)] = name;

        QComboBox* function = new QComboBox(this);
        function->setObjectName(QStringLiteral("cmbWheel%1").arg(i));
        place(function, 240 + 1800 * i, 6240, 1455, 315);
        m_cmbWheel[static_cast<std::size_t>(i)] = function;

        connect(name, &QLineEdit::textChanged, this, [this, i] { txtWheel_Change(i); });
        name->installEventFilter(this);
        function->installEventFilter(this);
    }

    m_Command1 = new QPushButton(tr("&Next Function"), this);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    place(m_Command1, 7800, 5640, 1455, 375);

    m_lblPage = new QLabel(tr("Page: 1 of 8"), this);
    m_lblPage->setObjectName(QStringLiteral("lblPage"));
    place(m_lblPage, 7800, 6240, 1455, 255);

    connect(m_txtLampName, &QLineEdit::textChanged, this, &frmDocument::txtLampName_Change);
    connect(m_txtNoChannels, &QLineEdit::textChanged, this, &frmDocument::txtNoChannels_Change);
    connect(m_grdChannels, &QTableWidget::cellClicked, this, &frmDocument::grdChannels_Click);
    connect(m_grdChannels, &QTableWidget::currentCellChanged, this, &frmDocument::grdChannels_LeaveCell);
    connect(m_btnVerify, &QPushButton::clicked, this, &frmDocument::btnVerify_Click);
    connect(m_Command1, &QPushButton::clicked, this, &frmDocument::Command1_Click);
    connect(m_cmbIcon, &QComboBox::activated, this, &frmDocument::cmbIcon_LostFocus);

    m_grdChannels->installEventFilter(this);
    m_cmbIcon->installEventFilter(this);
    fitToFont();
}

void frmDocument::fitToFont()
{
    // A control keeps its design width unless its text needs more; a text box keeps its
    // width (it scrolls) and only grows in height.
    const auto fit = [](QWidget* control, int left, int top, int designWidth, int designHeight) {
        const QSize hint = control->sizeHint();
        const bool textBox = qobject_cast<QLineEdit*>(control) != nullptr;
        control->setGeometry(left, top, textBox ? designWidth : std::max(designWidth, hint.width()),
                             std::max(designHeight, hint.height()));
    };

    // Top row, left to right.
    struct Design {
        QWidget* control;
        int left, top, width, height;
    };
    int right = 0;
    int bottom = 0;
    for (const Design& d : {Design{m_txtLampName, 240, 120, 3975, 495}, Design{m_Label1, 4320, 120, 2130, 300},
                            Design{m_txtNoChannels, 6600, 75, 615, 525}, Design{m_Label5, 7320, 120, 465, 300},
                            Design{m_cmbIcon, 7920, 60, 1335, 420}}) {
        fit(d.control, std::max(px(d.left), right + px(60)), px(d.top), px(d.width), px(d.height));
        right = d.control->geometry().right() + 1;
        bottom = std::max(bottom, d.control->geometry().bottom() + 1);
    }
    const int lineTop = std::max(px(720), bottom + px(60));
    m_Line2->setGeometry(0, lineTop, std::max(px(9240), right + px(240)), 2);

    // The channel grid: each column as wide as its heading and its widest text, never
    // under its design width, and the grid as wide as its columns, so that all three
    // show whole without a horizontal scroll bar.
    static constexpr std::array<int, 3> columnTwips = {2100, 1400, 600};
    int columns = 0;
    for (int column = 0; column < 3; ++column) {
        const int width = std::max({px(columnTwips[static_cast<std::size_t>(column)]),
                                    m_grdChannels->horizontalHeader()->sectionSizeHint(column),
                                    static_cast<QAbstractItemView*>(m_grdChannels)
                                        ->sizeHintForColumn(column)});
        m_grdChannels->setColumnWidth(column, width);
        columns += width;
    }
    const int gridWidth = 2 * m_grdChannels->frameWidth() + m_grdChannels->verticalHeader()->sizeHint().width() +
                          columns + m_grdChannels->verticalScrollBar()->sizeHint().width();
    const int gridTop = std::max(px(840), lineTop + px(120));
    m_grdChannels->setGeometry(px(240), gridTop, std::max(px(5175), gridWidth), m_grdChannels->height());

    // The help texts and Verify beside the grid, one under the other.
    const int column = std::max(px(6240), m_grdChannels->geometry().right() + 1 + px(240));
    int top = gridTop;
    for (const Design& d : {Design{m_Label2, 6240, 840, 2775, 615}, Design{m_Label3, 6240, 1680, 2895, 615},
                            Design{m_Label4, 6240, 2400, 3015, 615}}) {
        auto* label = static_cast<QLabel*>(d.control);
        const int width = px(d.width);
        top = std::max(px(d.top), top);
        label->setGeometry(column, top, width, std::max(px(d.height), label->heightForWidth(width)));
        top = label->geometry().bottom() + 1 + px(60);
    }
    fit(m_btnVerify, column, std::max(px(3240), top), px(1335), px(375));

    // The wheel rows keep their widths; Next Function and the page label as wide as their text.
    for (QWidget* control : {static_cast<QWidget*>(m_Command1), static_cast<QWidget*>(m_lblPage)})
        control->resize(std::max(px(1455), control->sizeHint().width()),
                        std::max(control == m_Command1 ? px(375) : px(255), control->sizeHint().height()));
    for (std::size_t i = 0; i < 4; ++i) {
        m_txtWheel[i]->resize(px(1455), std::max(px(375), m_txtWheel[i]->sizeHint().height()));
        m_cmbWheel[i]->resize(px(1455), std::max(px(315), m_cmbWheel[i]->sizeHint().height()));
    }

    // The line over the wheel rows stands 1700 twips above the window's foot, higher when
    // the rows are taller (as Form_Resize places them); Verify must end above it.
    int boxHeight = m_Command1->height();
    for (const QLineEdit* box : m_txtWheel)
        boxHeight = std::max(boxHeight, box->height());
    const int footToLine = std::max(px(1700), px(900 + 225 + 200) + boxHeight);
    m_minimumHeight = std::max(px(minimumHeightTwips), m_btnVerify->geometry().bottom() + 1 + footToLine);
}

// ---- document operations -------------------------------------------------------------

void frmDocument::File_New()
{
    m_lamp = rig::newLamp();
    m_filePath.clear();
    setWindowTitle(tr("New Lamp"));
    Form_Load();
    m_changed = true;
}

void frmDocument::File_Open(const QString& fileName, const QString& fileTitle)
{
    // Read first: a failure leaves the window as it was, for the caller to discard.
    rig::Lamp lamp = rig::readLampFile(rig::toPath(fileName));
    m_lamp = lamp;
    m_filePath = fileName;
    setWindowTitle(fileTitle);
    Form_Load();
    m_changed = false;
}

void frmDocument::File_Import()
{
    m_lamp = m_lmpImport;
    m_filePath.clear();
    setWindowTitle(tr("Imported Lamp"));
    Form_Load();
    m_changed = true;
}

void frmDocument::File_Save()
{
    commitPending();
    (void)saveLamp();
}

void frmDocument::File_Save_As()
{
    commitPending();
    (void)saveLampAs();
}

void frmDocument::Form_Load()
{
    m_wheelPage = 0;
    m_lblPage->setText(tr("Page: 1 of 8"));

    // Changing a box's text runs its procedure, exactly as if the user had typed it.
    const QString count = QString::number(m_lamp.NumberChannel);
    if (m_txtNoChannels->text() != count)
        m_txtNoChannels->setText(count);
    const QString name = trimSpaces(rig::fromField(m_lamp.LampName.str()));
    if (m_txtLampName->text() != name)
        m_txtLampName->setText(name);

    labelGrid();
    refreshGrid();
    loadWheelFnNames();
    refreshIcon();
}

bool frmDocument::saveLamp()
{
    if (m_filePath.isEmpty())
        return saveLampAs();
    return writeTo(m_filePath);
}

bool frmDocument::saveLampAs()
{
    // A name typed without an extension gets ".lmp": Open reads only names ending in lmp.
    const std::optional<QString> chosen = m_dlgCommonDialog.showSave(
        this, tr("Lamps (*.lmp)|*.lmp"), trimSpaces(m_txtLampName->text()) + QStringLiteral(".lmp"),
        tr("Save Lamp as"), QStringLiteral("lmp"));
    if (!chosen)
        return false;  // cancelled: silent
    const QString& fileName = *chosen;
    if (fileName.isEmpty()) {
        m_ui.message(this, tr("No filename specified"), tr("Save Lamp as"),
                     ui::Icon::Critical, ui::Buttons::Ok);
        return false;
    }
    if (!m_dlgCommonDialog.confirmOverwrite(this, fileName, tr("Lamp file exists")))
        return false;
    if (!writeTo(fileName))
        return false;
    m_dlgCommonDialog.succeeded(fileName);
    // The window now holds this file: the next Save writes here, not to the old file.
    m_filePath = fileName;
    setWindowTitle(QFileInfo(fileName).fileName());
    return true;
}

bool frmDocument::writeTo(const QString& fileName)
{
    try {
        rig::writeLampFile(rig::toPath(fileName), m_lamp);
    } catch (const rig::RigError& error) {
        if (error.number() == rig::errc::permissionDenied)
            m_ui.message(this, tr("The disk that you are saving to is write protected"),
                         appTitle(), ui::Icon::Critical, ui::Buttons::Ok);
        else
            m_ui.message(this,
                         tr("Error ") + QString::number(error.number()) + QStringLiteral(": ") +
                             QString::fromStdString(error.description()),
                         appTitle(), ui::Icon::Exclamation, ui::Buttons::Ok);
        return false;
    }
    m_changed = false;
    emit fileSaved(fileName);
    return true;
}

void frmDocument::commitPending()
{
    grdChannels_LeaveCell();
    for (int i = 0; i < 4; ++i) {
        QComboBox* list = m_cmbWheel[static_cast<std::size_t>(i)];
        if (!list->hasFocus() || list->currentIndex() < 0)
            continue;
        const auto code = static_cast<std::int16_t>(list->currentData().toInt());
        auto& slot = m_lamp.WheelFunction[static_cast<std::size_t>(wheelSlot(i))];
        if (slot != code) {
            slot = code;
            m_changed = true;
        }
    }
    if (m_cmbIcon->hasFocus())
        cmbIcon_LostFocus();
}

void frmDocument::closeEvent(QCloseEvent* event)
{
    commitPending();
    if (!m_changed) {
        event->accept();
        return;
    }
    const ui::Answer answer = m_ui.message(
        this, tr("You have made changes to this lamp") + crlf + tr("Do you wish to save before closing?"),
        tr("Close Window"), ui::Icon::Question, ui::Buttons::YesNoCancel);
    switch (answer) {
    case ui::Answer::Yes:
        // A save that was cancelled or failed keeps the window, so the edits survive.
        if (saveLamp())
            event->accept();
        else
            event->ignore();
        return;
    case ui::Answer::No:
        event->accept();
        return;
    default:
        event->ignore();
        return;
    }
}

// ---- channel grid -------------------------------------------------------------------

void frmDocument::labelGrid()
{
    const int rows = static_cast<int>(m_lamp.usedChannels());
    m_grdChannels->setColumnCount(3);
    m_grdChannels->setRowCount(rows);
    m_grdChannels->setHorizontalHeaderLabels(
        {tr("Function (Gang)"), tr("Palette type"), tr("Step")});
    QStringList labels;
    for (int row = 1; row <= rows; ++row)
        labels << tr("Channel %1").arg(row);
    m_grdChannels->setVerticalHeaderLabels(labels);
    fitToFont();
}

void frmDocument::refreshGrid()
{
    const int rows = static_cast<int>(m_lamp.usedChannels());
    for (int row = 0; row < rows && row < m_grdChannels->rowCount(); ++row) {
        const rig::LampChannel& channel = m_lamp.Channel[static_cast<std::size_t>(row)];
        const QString texts[3] = {functionText(channel.Function), paletteText(channel.Palette),
                                  QString::number(channel.Step)};
        for (int column = 0; column < 3; ++column) {
            QTableWidgetItem* item = m_grdChannels->item(row, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
                m_grdChannels->setItem(row, column, item);
            }
            item->setText(texts[column]);
        }
    }
}

void frmDocument::loadFnNames(QComboBox& cmbEdit, int list)
{
    cmbEdit.clear();
    if (list == 0) {
        for (int code = 0; code < static_cast<int>(rig::functionCodes); ++code)
            cmbEdit.addItem(functionText(code), code);
    } else {
        for (int code = 0; code <= rig::maxOfferedPalette; ++code)
            cmbEdit.addItem(paletteText(code), code);
    }
}

void frmDocument::grdChannels_Click()
{
    // An editor still open belongs to another cell: its edit is taken over first.
    grdChannels_LeaveCell();
    cellEdit(m_grdChannels, 0);
}

void frmDocument::grdChannels_KeyPress(int KeyAscii)
{
    grdChannels_LeaveCell();
    cellEdit(m_grdChannels, KeyAscii);
}

void frmDocument::cellEdit(QTableWidget* flexGrid, int KeyAscii)
{
    (void)KeyAscii;  // the key that opened the editor is not typed into it
    const int row = flexGrid->currentRow();
    const int column = flexGrid->currentColumn();
    if (row < 0 || column < 0 || row >= static_cast<int>(rig::maxChannels))
        return;
    flexGrid->scrollToItem(flexGrid->item(row, column));
    m_editRow = row + 1;
    m_editColumn = column + 1;
    flexGrid->edit(flexGrid->currentIndex());
}

void frmDocument::showInEditor(QWidget& editor, int row, int column)
{
    if (row < 0 || row >= static_cast<int>(rig::maxChannels))
        return;
    const rig::LampChannel& channel = m_lamp.Channel[static_cast<std::size_t>(row)];
    if (auto* list = qobject_cast<QComboBox*>(&editor)) {
        // A stored code the list does not offer opens with nothing selected.
        if (column == 0) {
            loadFnNames(*list, 0);
            const int code = channel.Function;
            list->setCurrentIndex(code >= 0 && code < static_cast<int>(rig::functionCodes) ? code : -1);
        } else {
            loadFnNames(*list, 1);
            const int code = channel.Palette;
            list->setCurrentIndex(code >= 0 && code <= rig::maxOfferedPalette ? code : -1);
        }
    } else if (auto* box = qobject_cast<QLineEdit*>(&editor)) {
        box->setText(QString::number(channel.Step));
        box->setSelection(0, 3);
    }
}

void frmDocument::takeFromEditor(const QWidget& editor, int row, int column)
{
    if (row < 0 || row >= static_cast<int>(rig::maxChannels))
        return;
    rig::LampChannel& channel = m_lamp.Channel[static_cast<std::size_t>(row)];
    if (const auto* list = qobject_cast<const QComboBox*>(&editor)) {
        if (list->currentIndex() < 0)
            return;  // nothing picked, nothing changes
        const auto code = static_cast<std::int16_t>(list->currentData().toInt());
        if (column == 0) {
            channel.Function = code;
            loadWheelFnNames();  // the wheel lists offer the channel functions
        } else {
            channel.Palette = code;
        }
    } else if (const auto* box = qobject_cast<const QLineEdit*>(&editor)) {
        bool ok = false;
        const int step = box->text().trimmed().toInt(&ok, 10);
        // Anything but a whole number 0 to 255 keeps the old value.
        if (!ok || step < 0 || step > maxStep)
            return;
        channel.Step = static_cast<std::uint8_t>(step);
    } else {
        return;
    }
    refreshGrid();
    m_changed = true;
}

void frmDocument::grdChannels_LeaveCell()
{
    // Closing the focused editor moves the focus, which lands here again.
    if (m_committing)
        return;
    QScopedValueRollback<bool> guard(m_committing, true);
    const QModelIndex cell = m_grdChannels->model()->index(m_editRow - 1, m_editColumn - 1);
    m_editRow = 0;
    m_editColumn = 0;
    QWidget* editor = cell.isValid() ? m_grdChannels->indexWidget(cell) : nullptr;
    if (editor == nullptr)
        return;
    emit m_editors->commitData(editor);
    emit m_editors->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// ---- count and name -----------------------------------------------------------------

void frmDocument::txtNoChannels_Change()
{
    const double n = std::nearbyint(leadingNumber(m_txtNoChannels->text()));
    if (n > static_cast<double>(rig::maxChannels)) {
        m_ui.message(this,
                     tr("This version of Dornick software supports lamps with between 1 and 36 "
                        "channels"),
                     tr("Change number of channels"), ui::Icon::Exclamation, ui::Buttons::Ok);
        m_lamp.NumberChannel = static_cast<std::uint8_t>(rig::maxChannels);
        m_txtNoChannels->setText(QString::number(rig::maxChannels));  // runs this procedure again
        m_txtNoChannels->selectAll();
    } else if (n < 1.0) {
        m_lamp.NumberChannel = 1;
        m_txtNoChannels->setText(QStringLiteral("1"));
        m_txtNoChannels->setSelection(0, 1);
    } else {
        m_lamp.NumberChannel = static_cast<std::uint8_t>(n);
    }

    // Channels beyond the count keep their data, so raising the count brings them back.
    for (std::size_t c = 0; c < m_lamp.usedChannels(); ++c)
        if (m_lamp.Channel[c].Step == 0)
            m_lamp.Channel[c].Step = 1;
    m_lamp.NumberChannelCopy = m_lamp.NumberChannel;
    labelGrid();
    refreshGrid();
    m_changed = true;
}

void frmDocument::txtLampName_Change()
{
    m_lamp.LampName.assign(rig::toField(m_txtLampName->text()));
    m_changed = true;
}

// ---- verification -------------------------------------------------------------------

void frmDocument::btnVerify_Click() { verifyLamp(); }

void frmDocument::verifyLamp()
{
    const std::vector<rig::Finding> findings = rig::verifyLamp(m_lamp);
    for (const rig::Finding& finding : findings) {
        const QString text = QString::fromStdString(finding.text);
        if (finding.kind == rig::FindingKind::Warning)
            m_ui.message(this, text, tr("Verify Warning"), ui::Icon::Information,
                         ui::Buttons::Ok);
        else
            m_ui.message(this, text, tr("Verify Error"), ui::Icon::Critical, ui::Buttons::Ok);
    }
    if (!rig::hasError(findings))
        m_ui.message(this, QString::fromLatin1(rig::lampCheckComplete), tr("Rigsmith Verify"),
                     ui::Icon::Information, ui::Buttons::Ok);
}

// ---- wheels and icon ----------------------------------------------------------------

void frmDocument::loadWheelFnNames()
{
    {
        QScopedValueRollback<bool> guard(m_refreshing, true);
        for (QComboBox* list : m_cmbWheel) {
            list->clear();
            list->addItem(functionText(rig::fn::None), rig::fn::None);
            for (std::size_t c = 0; c < m_lamp.usedChannels(); ++c) {
                const int code = m_lamp.Channel[c].Function;
                if (!rig::isWheelExempt(code))
                    list->addItem(functionText(code), code);
            }
        }
    }
    refreshWheels();
}

void frmDocument::refreshWheels()
{
    QScopedValueRollback<bool> guard(m_refreshing, true);
    for (int i = 0; i < 4; ++i) {
        const auto slot = static_cast<std::size_t>(wheelSlot(i));
        QComboBox* list = m_cmbWheel[static_cast<std::size_t>(i)];
        int selected = -1;
        for (int entry = 0; entry < list->count(); ++entry)
            if (list->itemData(entry).toInt() == m_lamp.WheelFunction[slot])
                selected = entry;  // the last matching entry wins
        list->setCurrentIndex(selected);
        m_txtWheel[static_cast<std::size_t>(i)]->setText(rig::fromField(m_lamp.Wheel[slot].WheelName.str()));
    }
}

void frmDocument::refreshIcon()
{
    m_cmbIcon->setCurrentIndex(m_cmbIcon->findData(static_cast<int>(m_lamp.Icon)));
}

void frmDocument::Command1_Click()
{
    m_wheelPage = (m_wheelPage + 1) % wheelPages;
    m_lblPage->setText(tr("Page: %1 of 8").arg(m_wheelPage + 1));
    refreshWheels();
}

void frmDocument::cmbWheel_LostFocus(int index)
{
    if (index < 0 || index > 3)
        return;
    QComboBox* list = m_cmbWheel[static_cast<std::size_t>(index)];
    if (list->currentIndex() >= 0)
        m_lamp.WheelFunction[static_cast<std::size_t>(wheelSlot(index))] =
            static_cast<std::int16_t>(list->currentData().toInt());
    m_changed = true;
}

void frmDocument::txtWheel_Change(int index)
{
    // The window filling the boxes itself is no edit: the stored name stays byte for byte.
    if (m_refreshing || index < 0 || index > 3)
        return;
    m_lamp.Wheel[static_cast<std::size_t>(wheelSlot(index))].WheelName.assign(
        rig::toField(m_txtWheel[static_cast<std::size_t>(index)]->text()));
    m_changed = true;
}

void frmDocument::txtWheel_Click(int index)
{
    if (index < 0 || index > 3)
        return;
    QLineEdit* box = m_txtWheel[static_cast<std::size_t>(index)];
    box->deselect();
    box->setCursorPosition(0);
}

void frmDocument::cmbIcon_LostFocus()
{
    if (m_cmbIcon->currentIndex() < 0)
        return;
    const auto icon = static_cast<std::uint8_t>(m_cmbIcon->currentData().toInt());
    if (m_lamp.Icon != icon) {
        m_lamp.Icon = icon;
        m_changed = true;
    }
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

    // The wheel rows stand at their design distance from the bottom; taller text pushes
    // the upper row, the line and the grid's foot up.
    const int comboTop = px(H - 900);
    int boxHeight = m_Command1->height();
    for (const QLineEdit* box : m_txtWheel)
        boxHeight = std::max(boxHeight, box->height());
    const int boxTop = std::min(px(H - 1500), comboTop - px(225) - boxHeight);
    int left = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int x = std::max(px(240 + 1800 * static_cast<int>(i)), left);
        m_txtWheel[i]->move(x, boxTop);
        m_cmbWheel[i]->move(x, comboTop);
        left = x + std::max(m_txtWheel[i]->width(), m_cmbWheel[i]->width()) + px(345);
    }
    m_Command1->move(std::max(px(7440), left), boxTop);
    m_lblPage->move(std::max(px(7440), left), comboTop);
    m_Line1->move(m_Line1->x(), std::min(px(H - 1700), boxTop - px(200)));
    m_grdChannels->resize(m_grdChannels->width(),
                          std::min(px(H - 2800), m_Line1->y() - px(260) - m_grdChannels->y()));
}

void frmDocument::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        fitToFont();
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
    if (watched == m_grdChannels) {
        if (event->type() == QEvent::FocusIn) {
            grdChannels_LeaveCell();
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            const bool typed = !text.isEmpty() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                               (text.at(0).unicode() >= 0x20 || text.at(0) == QLatin1Char('\r')) &&
                               text.at(0).unicode() != 0x7f;
            if (typed) {
                grdChannels_KeyPress(text.at(0).unicode());
                return true;
            }
        }
    } else if (watched->parent() == m_grdChannels->viewport() && event->type() == QEvent::FocusOut) {
        // An in-place editor (the grid's own children are its viewport and scroll bars).
        if (isLostFocus(event, false))
            grdChannels_LeaveCell();
    } else if (watched == m_cmbIcon) {
        if (isLostFocus(event, true))
            cmbIcon_LostFocus();
    } else {
        for (int i = 0; i < 4; ++i) {
            if (watched == m_cmbWheel[static_cast<std::size_t>(i)] && isLostFocus(event, true))
                cmbWheel_LostFocus(i);
            else if (watched == m_txtWheel[static_cast<std::size_t>(i)] && event->type() == QEvent::MouseButtonRelease)
                txtWheel_Click(i);
        }
    }
    return QWidget::eventFilter(watched, event);
}
