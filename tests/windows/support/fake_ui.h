#pragma once

#include "ui/ui.h"

#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

// A scripted stand-in for the toolkit's modal parts, shared by the window tests and
// the benchmarks. It records every message and file request and answers from queues;
// a modal call nobody scripted is answered with a refusal and reported (the tests
// fail on it, the benchmarks count it) instead of blocking. Settings live in memory.
class FakeUi final : public ui::Ui {
public:
    struct Message {
        QString text;
        QString title;
        ui::Icon icon = ui::Icon::None;
        ui::Buttons buttons = ui::Buttons::Ok;
    };
    struct FileCall {
        bool save = false;
        ui::FileRequest request;
    };

    // What every FakeUi made afterwards does with an unscripted modal call, besides
    // recording it in `unexpected`.
    static void setUnexpectedHandler(std::function<void(const QString& what)> handler);

    FakeUi() = default;
    FakeUi(const FakeUi&) = delete;
    FakeUi& operator=(const FakeUi&) = delete;

    // Answers for message boxes with more than an OK button, in order.
    std::deque<ui::Answer> answers;
    // Answers for file dialogs, in order; std::nullopt cancels.
    std::deque<std::optional<QString>> fileAnswers;
    // Scripts for modal dialogs, in order. The dialog is shown before its script
    // runs; execDialog returns the dialog's result afterwards.
    std::deque<std::function<void(QDialog&)>> dialogScripts;
    // Scripts for pop-up menus, in order; each returns the chosen action or nullptr.
    std::deque<std::function<QAction*(QMenu&)>> menuScripts;
    // Drags end with this result; each drag is counted.
    Qt::DropAction dragResult = Qt::IgnoreAction;
    // Set when drags are part of the script; otherwise a drag is unexpected.
    bool dragsExpected = true;

    std::vector<Message> messages;
    std::vector<FileCall> fileCalls;
    std::vector<QString> dialogsShown;  // object names of the dialogs shown modally
    std::vector<QString> unexpected;    // modal calls nobody scripted
    int menusShown = 0;
    int dragsStarted = 0;
    std::map<QString, QString> settings;

    ui::Answer message(QWidget* parent, const QString& text, const QString& title, ui::Icon icon,
                       ui::Buttons buttons) override;
    std::optional<QString> openFileName(QWidget* parent, const ui::FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* parent, const ui::FileRequest& request) override;
    int execDialog(QDialog& dialog) override;
    QAction* execMenu(QMenu& menu, const QPoint& globalPos) override;
    Qt::DropAction execDrag(QDrag& drag, Qt::DropActions actions) override;
    QString setting(const QString& key, const QString& defaultValue) override;
    void setSetting(const QString& key, const QString& value) override;

    // The texts of all messages so far, in order.
    [[nodiscard]] std::vector<QString> texts() const;

private:
    std::optional<QString> nextFile(bool save, const ui::FileRequest& request);
    void refuse(const QString& what);
};
