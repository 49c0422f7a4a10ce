#pragma once

// The About window: the program's title, version and icon, and a button that starts a
// system-information tool. Modeless; it changes no shared state.

#include <QDialog>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
struct Services;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignClientWidth = 5730;
    static constexpr int DesignClientHeight = 3555;
    static inline const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

    explicit frmAbout(Services& services, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    // Controls, by their design names.
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    std::array<QFrame*, 2> Line1{};
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    void buildFace();
    void StartSysInfo();

    Services& m_services;
};
