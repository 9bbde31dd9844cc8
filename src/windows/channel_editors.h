#pragma once

#include <QStyledItemDelegate>

class QComboBox;

// The channel grid's in-place editors, made for one edit and discarded afterwards: a
// drop-down list (`cmbEdit`) for the function and palette columns, a text box (`txtEdit`)
// for the step. An editor opens showing the stored value and hands back only what fits:
// a picked entry, or a whole step from 0 to 255; anything else leaves the cell as it was.
class ChannelEditors final : public QStyledItemDelegate {
    Q_OBJECT

public:
    // `focusWatcher` hears every editor's focus events, as it hears the window's own controls.
    ChannelEditors(QObject& focusWatcher, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // True when `focus` lies within `editor` without being the editor itself: its
    // drop-down list, which a click on the editor opens. The focus moving there does not
    // leave the editor.
    [[nodiscard]] static bool isWithin(const QWidget& editor, const QWidget* focus);

private:
    // Fills `cmbEdit`: list 0 the channel functions, list 1 the palette types offered,
    // each entry's position its code.
    static void loadFnNames(QComboBox& cmbEdit, int list);

    QObject& m_focusWatcher;
};
