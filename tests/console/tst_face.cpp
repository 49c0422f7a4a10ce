#include "PhoneRig.h"
#include "console/frmPhone.h"
#include "platform/Controls.h"
#include "platform/Twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

// The face of the main window: names, captions, geometry, start state, and the keys that reach it.
class TestFace : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keypadIndicesAndCaptions();
    void functionButtons_data();
    void functionButtons();
    void displayStartsEmptyAndColoured();
    void lampsAreDarkAtStart();
    void sliderRanges();
    void widthHidesAndShowsThePhoneBook();
    void menuBarKeepsTheClientHeight();
    void oneEnterClicksSendOnce_data();
    void oneEnterClicksSendOnce();
    void menus();

private:
    std::unique_ptr<PhoneRig> m_rig;
    frmPhone* m_phone = nullptr;
};

void TestFace::init() {
    m_rig = std::make_unique<PhoneRig>();
    m_phone = &m_rig->makePhone();
}

void TestFace::cleanup() {
    m_rig.reset();
}

void TestFace::keypadIndicesAndCaptions() {
    const QStringList captions = {QStringLiteral("1"),      QStringLiteral("2"), QStringLiteral("3"),
                                  QStringLiteral("4"),      QStringLiteral("5"), QStringLiteral("6"),
                                  QStringLiteral("7"),      QStringLiteral("8"), QStringLiteral("9"),
                                  QStringLiteral("\u2605"), QStringLiteral("0"), QStringLiteral("#")};
    for (int i = 0; i < 12; ++i) {
        CommandButton* key = m_phone->findChild<CommandButton*>(QStringLiteral("cmdNumber_%1").arg(i));
        QVERIFY(key);
        QCOMPARE(key, m_phone->cmdNumber[i]);
        QCOMPARE(key->text(), captions[i]);
        QCOMPARE(key->captionColor(), QColor(0, 0, 255));
        // Rows of three, 735 twips apart, 360 twips high.
        QCOMPARE(key->geometry(), Twips::rect(90 + (i % 3) * 735, 90 + (i / 3) * 360, 735, 360));
    }
    QCOMPARE(m_phone->cmdNumber[11]->toolTip(), QStringLiteral("You can use the '/' key on the keypad"));
}

void TestFace::functionButtons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QColor>("color");
    const QColor black(0, 0, 0);
    QTest::newRow("Send") << "cmdSend"
                          << "&Send"
                          << "Place or Answer a Call" << QRect(90, 90, 735, 360) << QColor(0, 128, 0);
    QTest::newRow("End") << "cmdEnd"
                         << "&End"
                         << "End a Call" << QRect(825, 90, 735, 360) << QColor(255, 0, 0);
    QTest::newRow("Hold") << "cmdHold"
                          << "&Hold"
                          << "Place Call on Hold" << QRect(1560, 435, 735, 360) << black;
    QTest::newRow("Flash") << "cmdFlash"
                           << "&Flash"
                           << "Call Waiting" << QRect(90, 795, 735, 360) << black;
    QTest::newRow("Cancel") << "cmdCancelRPT"
                            << "Cancel"
                            << "Cancel Call Managment Features" << QRect(1560, 1155, 735, 360) << black;
    QTest::newRow("On/Off") << "cmdOnOff"
                            << "On/Off"
                            << "Attach or Detach from Modem" << QRect(1560, 1515, 735, 360) << black;
    QTest::newRow("Add Caller") << "cmdAddCaller"
                                << "Add Caller"
                                << "Adds Caller to the Phone Book" << QRect(1530, 735, 1155, 435) << QColor(0, 0, 255);
}

void TestFace::functionButtons() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QRect, twips);
    QFETCH(QColor, color);
    auto* b = m_phone->findChild<CommandButton*>(name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->toolTip(), tooltip);
    QCOMPARE(b->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(b->captionColor(), color);
}

void TestFace::displayStartsEmptyAndColoured() {
    for (DisplayBox* box : {m_phone->txtName, m_phone->txtNumberIn, m_phone->txtNumberOut}) {
        QVERIFY(box->text().isEmpty());
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->textColor(), QColor(0, 255, 0));
    }
    QCOMPARE(m_phone->txtStatus->textColor(), QColor(255, 0, 0));
    QVERIFY(m_phone->txtStatus->text().isEmpty());
}

void TestFace::lampsAreDarkAtStart() {
    m_phone->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_phone));
    for (const auto& lamp : {m_phone->picPower, m_phone->picInuse}) {
        QVERIFY(lamp[0]->isVisible());
        QVERIFY(!lamp[1]->isVisible());
        QVERIFY(!lamp[0]->isLit());
        QVERIFY(lamp[1]->isLit());
    }
    QCOMPARE(m_phone->picPower[0]->toolTip(), QStringLiteral("Attached to Modem when lit"));
    QCOMPARE(m_phone->picInuse[1]->toolTip(), QStringLiteral("Call in Process when Lit"));
}

void TestFace::sliderRanges() {
    QCOMPARE(m_phone->Slider1->minimum(), 0);
    QCOMPARE(m_phone->Slider1->maximum(), 15);
    QCOMPARE(m_phone->Slider1->value(), 5);
    QCOMPARE(m_phone->Slider2->minimum(), 0);
    QCOMPARE(m_phone->Slider2->maximum(), 3);
    QCOMPARE(m_phone->Slider2->value(), 1);
    m_phone->Slider1->setValue(16);
    QCOMPARE(m_phone->Slider1->value(), 15);
    m_phone->Slider2->setValue(-1);
    QCOMPARE(m_phone->Slider2->value(), 0);
}

void TestFace::widthHidesAndShowsThePhoneBook() {
    m_phone->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_phone));
    const auto panelRect = [&] {
        return QRect(m_phone->SSPanel7->mapTo(m_phone, QPoint(0, 0)), m_phone->SSPanel7->size());
    };
    m_phone->setWidthTwips(frmPhone::NarrowWidth);
    QCOMPARE(m_phone->widthTwips(), 2865);
    QVERIFY(!m_phone->rect().intersects(panelRect())); // not one pixel of the panel
    QVERIFY(
        m_phone->rect().contains(QRect(m_phone->SSPanel3->mapTo(m_phone, QPoint(0, 0)), m_phone->SSPanel3->size())));
    m_phone->setWidthTwips(frmPhone::WideWidth);
    QVERIFY(m_phone->rect().contains(panelRect())); // the whole panel with its rows
    QCOMPARE(m_phone->ribPhoneBook[11]->mapTo(m_phone, QPoint(0, 0)).y() + m_phone->ribPhoneBook[11]->height() <=
                 m_phone->height(),
             true);
}

void TestFace::menuBarKeepsTheClientHeight() {
    QWidget* client = m_phone->centralWidget();
    QCOMPARE(client->height(), Twips::toPixels(frmPhone::DesignClientHeight));
    QCOMPARE(m_phone->height(), client->height() + m_phone->menuBar()->sizeHint().height());
}

void TestFace::oneEnterClicksSendOnce_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("Send focused, Return") << "cmdSend" << int(Qt::Key_Return);
    QTest::newRow("keypad key focused, Return") << "cmdNumber_4" << int(Qt::Key_Return);
    QTest::newRow("End focused, keypad Enter") << "cmdEnd" << int(Qt::Key_Enter);
    QTest::newRow("slider focused, Return") << "Slider1" << int(Qt::Key_Return);
}

void TestFace::oneEnterClicksSendOnce() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    m_phone->show();
    m_phone->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_phone));
    auto* target = m_phone->findChild<QWidget*>(focus);
    QVERIFY(target);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QSignalSpy sends(m_phone->cmdSend, &QPushButton::clicked);
    QSignalSpy ends(m_phone->cmdEnd, &QPushButton::clicked);
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(sends.count(), 1);
    QCOMPARE(ends.count(), 0);
    QCOMPARE(QApplication::focusWidget(), m_phone->cmdSend);
}

void TestFace::menus() {
    auto* setup = m_phone->findChild<QAction*>(QStringLiteral("modem_setup"));
    auto* about = m_phone->findChild<QAction*>(QStringLiteral("mnuAbout"));
    QVERIFY(setup && about);
    QCOMPARE(setup->text(), QStringLiteral("Setup"));
    QCOMPARE(about->text(), QStringLiteral("About"));
    QCOMPARE(m_phone->mnuHelp->title(), QStringLiteral("Help"));
    QVERIFY(m_phone->mnuHelp->actions().contains(about));
    QVERIFY(setup->shortcut().isEmpty() && about->shortcut().isEmpty());
    QCOMPARE(m_phone->windowTitle(), QStringLiteral("Brisvane"));
}

QTEST_MAIN(TestFace)
#include "tst_face.moc"
