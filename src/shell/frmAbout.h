#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: product picture, name, build number and disclaimer. Built afresh
// for every showing and closed with its OK button.
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // "Build 1.0.19": plain decimal numbers, never zero-padded.
    [[nodiscard]] static QString buildText(int major, int minor, int revision);

    // Fills the build label.
    void Form_Load();

    [[nodiscard]] QLabel* Image1() const noexcept { return m_image1; }
    [[nodiscard]] QLabel* Label1() const noexcept { return m_label1; }
    [[nodiscard]] QLabel* lblBuild() const noexcept { return m_lblBuild; }
    [[nodiscard]] QLabel* lblDisclaimer() const noexcept { return m_lblDisclaimer; }
    [[nodiscard]] QPushButton* cmdOK() const noexcept { return m_cmdOK; }

private slots:
    void cmdOK_Click();

private:
    QLabel* m_image1 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_lblBuild = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QPushButton* m_cmdOK = nullptr;
};
