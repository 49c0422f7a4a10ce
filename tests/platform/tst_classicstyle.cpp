#include "platform/ClassicStyle.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <memory>

// The style's menu-bar extension icons are read only when drawn, and then are Qt's own pictures.
class TestClassicStyle : public QObject {
    Q_OBJECT
private slots:
    void extensionIconsAreTheBaseStylesPictures_data();
    void extensionIconsAreTheBaseStylesPictures();
};

void TestClassicStyle::extensionIconsAreTheBaseStylesPictures_data() {
    QTest::addColumn<QStyle::StandardPixmap>("which");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<bool>("withOption");
    QTest::newRow("horizontal") << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::LeftToRight << false;
    QTest::newRow("horizontal, right-to-left bar")
        << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::RightToLeft << false;
    QTest::newRow("horizontal, right-to-left option")
        << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::RightToLeft << true;
    QTest::newRow("vertical") << QStyle::SP_ToolBarVerticalExtensionButton << Qt::LeftToRight << false;
}

void TestClassicStyle::extensionIconsAreTheBaseStylesPictures() {
    QFETCH(QStyle::StandardPixmap, which);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(bool, withOption);
    std::unique_ptr<ClassicStyle> style(ClassicStyle::create());
    QVERIFY(style);
    const std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    QMenuBar bar;
    bar.setLayoutDirection(direction);
    QStyleOption option;
    option.initFrom(&bar);
    const QStyleOption* given = withOption ? &option : nullptr;
    const QIcon icon = style->standardIcon(which, given, &bar);
    const QIcon expected = windows->standardIcon(which, given, &bar);
    QVERIFY(!expected.isNull());
    for (int size : {8, 16, 32}) {
        QCOMPARE(icon.actualSize(QSize(size, size)), expected.actualSize(QSize(size, size)));
        QCOMPARE(icon.pixmap(size).toImage(), expected.pixmap(size).toImage());
    }
}

QTEST_MAIN(TestClassicStyle)
#include "tst_classicstyle.moc"
