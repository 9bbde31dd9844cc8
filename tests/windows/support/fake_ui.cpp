#include "fake_ui.h"

#include <QDialog>
#include <QMenu>

#include <utility>

namespace {

std::function<void(const QString&)>& unexpectedHandler()
{
    static std::function<void(const QString&)> handler;
    return handler;
}

}  // namespace

void FakeUi::setUnexpectedHandler(std::function<void(const QString& what)> handler)
{
    unexpectedHandler() = std::move(handler);
}

void FakeUi::refuse(const QString& what)
{
    unexpected.push_back(what);
    if (unexpectedHandler())
        unexpectedHandler()(what);
}

ui::Answer FakeUi::message(QWidget*, const QString& text, const QString& title, ui::Icon icon,
                           ui::Buttons buttons)
{
    messages.push_back({text, title, icon, buttons});
    if (buttons == ui::Buttons::Ok)
        return ui::Answer::Ok;
    if (answers.empty()) {
        refuse(QStringLiteral("question: ") + text);
        return buttons == ui::Buttons::YesNo ? ui::Answer::No : ui::Answer::Cancel;
    }
    const ui::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> FakeUi::nextFile(bool save, const ui::FileRequest& request)
{
    fileCalls.push_back({save, request});
    if (fileAnswers.empty()) {
        refuse(QStringLiteral("file dialog: ") + request.title);
        return std::nullopt;
    }
    // The answer is taken apart rather than copied as an optional: optimised GCC builds
    // flag the optional's copy as maybe-uninitialized.
    const bool chosen = fileAnswers.front().has_value();
    const QString name = chosen ? *fileAnswers.front() : QString();
    fileAnswers.pop_front();
    if (!chosen)
        return std::nullopt;
    return name;
}

std::optional<QString> FakeUi::openFileName(QWidget*, const ui::FileRequest& request)
{
    return nextFile(false, request);
}

std::optional<QString> FakeUi::saveFileName(QWidget*, const ui::FileRequest& request)
{
    return nextFile(true, request);
}

int FakeUi::execDialog(QDialog& dialog)
{
    dialogsShown.push_back(dialog.objectName());
    if (dialogScripts.empty()) {
        refuse(QStringLiteral("modal dialog: ") + dialog.objectName());
        return QDialog::Rejected;
    }
    auto script = std::move(dialogScripts.front());
    dialogScripts.pop_front();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    script(dialog);
    const int result = dialog.result();
    dialog.hide();
    return result;
}

QAction* FakeUi::execMenu(QMenu& menu, const QPoint&)
{
    ++menusShown;
    if (menuScripts.empty()) {
        refuse(QStringLiteral("pop-up menu"));
        return nullptr;
    }
    auto script = std::move(menuScripts.front());
    menuScripts.pop_front();
    return script(menu);
}

Qt::DropAction FakeUi::execDrag(QDrag&, Qt::DropActions)
{
    ++dragsStarted;
    if (!dragsExpected)
        refuse(QStringLiteral("drag"));
    return dragResult;
}

QString FakeUi::setting(const QString& key, const QString& defaultValue)
{
    const auto it = settings.find(key);
    return it == settings.end() ? defaultValue : it->second;
}

void FakeUi::setSetting(const QString& key, const QString& value) { settings[key] = value; }

std::vector<QString> FakeUi::texts() const
{
    std::vector<QString> result;
    for (const auto& m : messages)
        result.push_back(m.text);
    return result;
}
