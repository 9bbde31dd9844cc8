#include "windows/channel_editors.h"

#include "core/function_names.h"
#include "qtcore/field_text.h"
#include "windows/lamp_model.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int maxStep = 255;

}  // namespace

ChannelEditors::ChannelEditors(QObject& focusWatcher, QObject* parent)
    : QStyledItemDelegate(parent), m_focusWatcher(focusWatcher)
{
}

QWidget* ChannelEditors::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                      const QModelIndex& index) const
{
    QWidget* editor = nullptr;
    if (index.column() == LampModel::StepColumn) {
        editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("txtEdit"));
    } else {
        editor = new QComboBox(parent);
        editor->setObjectName(QStringLiteral("cmbEdit"));
    }
    editor->installEventFilter(&m_focusWatcher);
    return editor;
}

void ChannelEditors::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const int stored = index.data(Qt::EditRole).toInt();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        // A stored code the list does not offer opens with nothing selected.
        const bool functions = index.column() == LampModel::FunctionColumn;
        loadFnNames(*list, functions ? 0 : 1);
        const int offered = functions ? static_cast<int>(rig::functionCodes) : rig::maxOfferedPalette + 1;
        list->setCurrentIndex(stored >= 0 && stored < offered ? stored : -1);
    } else if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        box->setText(QString::number(stored));
        box->setSelection(0, 3);
    }
}

void ChannelEditors::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (const auto* list = qobject_cast<const QComboBox*>(editor)) {
        if (list->currentIndex() >= 0)  // nothing picked, nothing changes
            model->setData(index, list->currentData(), Qt::EditRole);
    } else if (const auto* box = qobject_cast<const QLineEdit*>(editor)) {
        bool ok = false;
        const int step = box->text().trimmed().toInt(&ok, 10);
        if (ok && step >= 0 && step <= maxStep)  // anything else keeps the old value
            model->setData(index, step, Qt::EditRole);
    }
}

bool ChannelEditors::isWithin(const QWidget& editor, const QWidget* focus)
{
    // The drop-down list is a window of its own whose parent chain leads to the list box.
    for (const QWidget* part = focus != nullptr ? focus->parentWidget() : nullptr; part != nullptr;
         part = part->parentWidget())
        if (part == &editor)
            return true;
    return false;
}

void ChannelEditors::loadFnNames(QComboBox& cmbEdit, int list)
{
    cmbEdit.clear();
    const auto add = [&cmbEdit](const std::string& name, int code) {
        cmbEdit.addItem(rig::fromField(name, rig::FieldSpaces::Trim), code);
    };
    if (list == 0) {
        for (int code = 0; code < static_cast<int>(rig::functionCodes); ++code)
            add(rig::functionName(code), code);
    } else {
        for (int code = 0; code <= rig::maxOfferedPalette; ++code)
            add(rig::paletteTypeName(code), code);
    }
}
