#include "windows/SystemInfoTool.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Finding the system-information tool along a PATH made up for the test.
class TestSystemInfoTool : public QObject {
    Q_OBJECT
private slots:
    void init();
    void lookup_data();
    void lookup();
    void relativePathEntriesAreIgnored();

private:
    QString folder(const QString& name);
    void makeFile(const QString& path, bool executable);

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestSystemInfoTool::init() {
    m_root = std::make_unique<QTemporaryDir>();
}

QString TestSystemInfoTool::folder(const QString& name) {
    const QString path = m_root->path() + QLatin1Char('/') + name;
    QDir().mkpath(path);
    return path;
}

void TestSystemInfoTool::makeFile(const QString& path, bool executable) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable) {
        p |= QFileDevice::ExeOwner;
    }
    QVERIFY(file.setPermissions(p));
}

void TestSystemInfoTool::lookup_data() {
    // Each setup line: "folder/name" and how it is made: x executable, f plain file, d folder,
    // l a link to nowhere.
    QTest::addColumn<QString>("files"); // lines separated by ";"
    QTest::addColumn<QString>("found"); // folder/name, or empty for none
    QTest::newRow("nothing installed") << ""
                                       << "";
    QTest::newRow("first tool") << "a/hardinfo x"
                                << "a/hardinfo";
    QTest::newRow("second tool") << "b/kinfocenter x"
                                 << "b/kinfocenter";
    QTest::newRow("third tool") << "a/gnome-system-monitor x"
                                << "a/gnome-system-monitor";
    QTest::newRow("earlier tool wins over earlier folder") << "a/kinfocenter x;b/hardinfo x"
                                                           << "b/hardinfo";
    QTest::newRow("earlier folder wins for one tool") << "a/hardinfo x;b/hardinfo x"
                                                      << "a/hardinfo";
    QTest::newRow("not executable") << "a/hardinfo f"
                                    << "";
    QTest::newRow("a folder of that name") << "a/hardinfo d"
                                           << "";
    QTest::newRow("file missing behind a link") << "a/hardinfo l"
                                                << "";
    QTest::newRow("missing one, next one found") << "a/hardinfo l;b/kinfocenter x"
                                                 << "b/kinfocenter";
}

void TestSystemInfoTool::lookup() {
    QFETCH(QString, files);
    QFETCH(QString, found);
    for (const QString& line : files.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString path = m_root->path() + QLatin1Char('/') + line.section(QLatin1Char(' '), 0, 0);
        folder(line.section(QLatin1Char('/'), 0, 0));
        const QString how = line.section(QLatin1Char(' '), 1);
        if (how == QLatin1String("x") || how == QLatin1String("f")) {
            makeFile(path, how == QLatin1String("x"));
        } else if (how == QLatin1String("d")) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(QFile::link(m_root->path() + QStringLiteral("/gone"), path));
        }
    }
    // An empty entry and one that does not exist along the way change nothing.
    const QString searchPath = QStringList{folder(QStringLiteral("a")), QString(),
                                           m_root->path() + QStringLiteral("/none"), folder(QStringLiteral("b"))}
                                   .join(QDir::listSeparator());
    const auto tool = SystemInfoTool::find(searchPath);
    if (found.isEmpty()) {
        QVERIFY(!tool);
    } else {
        QVERIFY(tool);
        QCOMPARE(tool->program, m_root->path() + QLatin1Char('/') + found);
    }
}

void TestSystemInfoTool::relativePathEntriesAreIgnored() {
    makeFile(folder(QStringLiteral("bin")) + QStringLiteral("/hardinfo"), true);
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_root->path()));
    const auto tool = SystemInfoTool::find(QStringLiteral("bin:.:"));
    QDir::setCurrent(before);
    QVERIFY(!tool);
}

QTEST_GUILESS_MAIN(TestSystemInfoTool)
#include "tst_systeminfotool.moc"
