#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "data/property_bag.h"
#include "other_copy.h"
#include "phonebook/data.h"
#include "workspace/forms.h"
#include "workspace/frm_splash.h"

#include <QAction>
#include <QDir>
#include <QListView>
#include <QRadioButton>
#include <QStringListModel>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;

class LoadTest : public AppFixture {
protected:
    Data* load() { return Forms::get<Data>(); }
    QStringList listLines(Data* d) const { return d->lstRecordModel->lines(); }
    QString book() const { return appDir() + QStringLiteral("Dorvane2DataBase.q7B"); }
};

TEST_F(LoadTest, FirstRunCreatesTheEmptyBookAndShowsTheBlankSlot) {
    Data* d = load();
    EXPECT_EQ(readFile(book()).size(), 0);
    EXPECT_TRUE(QFile::exists(appDir() + QStringLiteral("PhoneClip.q7B")));
    EXPECT_TRUE(QFile::exists(appDir() + QStringLiteral("Dorvane2DataBaseAttachmentsRef.att")));
    // The missing bag is left behind empty: the defaults need no bytes.
    EXPECT_EQ(readFile(appDir() + QStringLiteral("Dorvane2DataBase.set")).size(), 0);
    EXPECT_TRUE(QFile::exists(appDir() + QStringLiteral("Dorvane2DataBase.set")));
    EXPECT_EQ(pbm().RecordCount, 0);
    EXPECT_EQ(pbm().current, 1);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0"));
    EXPECT_TRUE(listLines(d).isEmpty());
    for (FieldBox* box : d->txtInfo)
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(d->txtRecord->text(), QStringLiteral("1"));
    EXPECT_FALSE(d->locked);
    EXPECT_EQ(d->lblinfo[0]->text(), QStringLiteral("First name"));
    EXPECT_EQ(d->OptEmail->text(), QStringLiteral("E-mail"));
}

TEST_F(LoadTest, UnloadWritesAllEighteenKeysAndTheBag) {
    Data* d = load();
    Forms::unload(d);
    const char* keys[] = {"FormTop",           "FormLeft",           "FormWidth",       "FormHeight",
                          "FormWindowState",   "FormBackColor",      "FormBackPicture", "TextFontName",
                          "TextFontSize",      "TextFontBold",       "TextFontItalic",  "TextFontColor",
                          "TextFontUnderline", "TextFontStrikeThru", "DataBasePath",    "DataBaseName",
                          "LockedDataBase",    "KeepAutomaticLabel"};
    for (const char* k : keys)
        EXPECT_NE(setting(QString::fromLatin1(k)), QStringLiteral("<missing>")) << k;
    EXPECT_EQ(setting(QStringLiteral("DataBasePath")), appDir());
    EXPECT_EQ(setting(QStringLiteral("DataBaseName")), QStringLiteral("Dorvane2DataBase.q7B"));
    EXPECT_EQ(setting(QStringLiteral("FormBackColor")), QStringLiteral("-2147483643"));
    EXPECT_EQ(setting(QStringLiteral("TextFontName")), QStringLiteral("ms sans serif"));
    EXPECT_EQ(setting(QStringLiteral("TextFontSize")), QStringLiteral("12"));
    EXPECT_EQ(setting(QStringLiteral("TextFontBold")), QStringLiteral("False"));
    EXPECT_EQ(setting(QStringLiteral("FormWindowState")), QStringLiteral("0"));
    EXPECT_EQ(setting(QStringLiteral("FormTop")), QStringLiteral("75"));
    const PropertyBag bag = loadBagFile(appDir() + QStringLiteral("Dorvane2DataBase.set"));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Label3")).toString(), QStringLiteral("E-mail"));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("recordNumber")).toInt(), 1);
}

TEST_F(LoadTest, ABookOfThreeIsCountedWithFourCheckingLinesAndListed) {
    writeFile(book(), bookBytes({{"Ann", "Lee"}, {"Bob", "Ray"}, {"Cy", "Oz"}}) + nulRecord());
    QStringList lines;
    Forms::get<frmSplash>()->statusObserver = [&](const QString& l) { lines << l; };
    Data* d = load();
    EXPECT_EQ(pbm().RecordCount, 3);
    QStringList checking;
    for (const QString& l : lines)
        if (l.startsWith(QStringLiteral("Checking Record"))) checking << l;
    EXPECT_EQ(checking.mid(0, 4), (QStringList{"Checking Record 1", "Checking Record 2", "Checking Record 3",
                                               "Checking Record 4"}));
    EXPECT_EQ(lines.first(), QStringLiteral("Loading Phonebook"));
    EXPECT_EQ(lines.last(), QStringLiteral("Load Completed Successfully..."));
    EXPECT_EQ(listLines(d), (QStringList{"Ann  Lee  ( 1)", "Bob  Ray  ( 2)", "Cy  Oz  ( 3)"}));
    EXPECT_EQ(d->txtInfo[0]->text(), QStringLiteral("Ann"));
}

TEST_F(LoadTest, TheBagDecidesCaptionsRecordAndListForm) {
    writeFile(book(), bookBytes({{"Ann", "Lee"}, {"Bob", "Ray"}, {"Cy", "Oz"}}));
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Given"));
    bag.WriteProperty(QStringLiteral("recordNumber"), QVariant::fromValue<short>(2));
    bag.WriteProperty(QStringLiteral("sortedByLastName"), true);
    saveBagFile(appDir() + QStringLiteral("Dorvane2DataBase.set"), bag);
    Data* d = load();
    EXPECT_EQ(d->OptFirst->text(), QStringLiteral("Given"));
    EXPECT_EQ(d->action(QStringLiteral("mnuSortFirst"))->text(), QStringLiteral("Sort &by Given"));
    EXPECT_EQ(d->action(QStringLiteral("mnuSortLast"))->text(), QStringLiteral("Sort b&y Last name"));
    EXPECT_EQ(d->lblinfo[0]->text(), QStringLiteral("Given"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  2 of  3"));
    EXPECT_EQ(d->txtInfo[0]->text(), QStringLiteral("Bob"));
    EXPECT_EQ(listLines(d).at(2), QStringLiteral("Oz,  Cy  ( 3)"));
}

TEST_F(LoadTest, AStoredRecordNumberOutsideTheBookIsBroughtInside) {
    writeFile(book(), bookBytes({{"Ann"}, {"Bob"}}));
    for (short stored : {short(0), short(-4), short(9)}) {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("recordNumber"), QVariant::fromValue<short>(stored));
        saveBagFile(appDir() + QStringLiteral("Dorvane2DataBase.set"), bag);
        load();
        EXPECT_EQ(pbm().current, stored < 1 ? 1 : 3) << stored;
        Forms::unload<Data>();
        Forms::flushDeleted();
    }
}

TEST_F(LoadTest, ALockedBookLoadsWithReadOnlyBoxesAndThePressedLock) {
    putSetting(QStringLiteral("LockedDataBase"), QStringLiteral("True"));
    Data* d = load();
    EXPECT_TRUE(d->locked);
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(d->txtInfo[i]->isReadOnly()) << i;
    EXPECT_FALSE(d->txtInfo[7]->isReadOnly());
    QAction* lock = d->toolbarButton(d->Toolbar1, 16);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->data().toString(), QStringLiteral("Lock"));
    EXPECT_TRUE(lock->isChecked());
}

TEST_F(LoadTest, AMissingFolderAsksAndIgnoreOpensTheBookInTheProgramFolder) {
    putSetting(QStringLiteral("DataBasePath"), appDir() + QStringLiteral("gone/"));
    putSetting(QStringLiteral("DataBaseName"), QStringLiteral("Home.q7b"));
    writeFile(appDir() + QStringLiteral("Home.q7b"), bookBytes({{"Ann"}}));
    prompts->expect(QStringLiteral("Path not found"), 18, QStringLiteral("ERROR76 Path not found"),
                    mb::Ignore);
    Data* d = load();
    EXPECT_EQ(pbm().RecordCount, 1);
    EXPECT_EQ(d->txtInfo[0]->text(), QStringLiteral("Ann"));
    EXPECT_EQ(pbm().DataBasePath, appDir() + QStringLiteral("gone/"));
    Forms::unload(d);
    EXPECT_EQ(setting(QStringLiteral("DataBasePath")), appDir() + QStringLiteral("gone/"));
}

TEST_F(LoadTest, AbortOnTheDatabaseLeavesNoBagOfDefaultsBehind) {
    QDir().mkpath(appDir() + QStringLiteral("books"));
    putSetting(QStringLiteral("DataBasePath"), appDir() + QStringLiteral("books/"));
    putSetting(QStringLiteral("DataBaseName"), QStringLiteral("Home.q7b"));
    // A folder in the place of the book cannot be opened as one.
    QDir().mkpath(appDir() + QStringLiteral("books/Home.q7b"));
    PropertyBag real;
    real.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Mine"));
    saveBagFile(appDir() + QStringLiteral("books/Home.set"), real);
    const QByteArray before = readFile(appDir() + QStringLiteral("books/Home.set"));
    prompts->expect({}, 18, QStringLiteral("ERROR75 Path/File access error"), mb::Abort);
    Data* d = load();
    EXPECT_FALSE(d->databaseLoaded());
    Forms::unload(d); // nothing to save, nothing asked
    EXPECT_EQ(readFile(appDir() + QStringLiteral("books/Home.set")), before);
}

TEST_F(LoadTest, AStoredValueThatIsNoNumberReachesTheErrorDialog) {
    putSetting(QStringLiteral("FormLeft"), QStringLiteral("left of centre"));
    prompts->expect(QStringLiteral("Unable to proceed"), 18, QStringLiteral("ERROR13 Type mismatch"),
                    mb::Ignore);
    Data* d = load();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0")); // the load went on
}

TEST_F(LoadTest, ThePictureNameBoxShowsLongNamesWholeButLimitsTyping) {
    const QString longName = QString(55, QLatin1Char('p')) + QStringLiteral(".jpeg");
    writeFile(book(), recordBytes({"Ann", "", "", "", "", "", longName}));
    Data* d = load();
    EXPECT_EQ(d->txtInfo[7]->text(), longName);
    QTest::keyClicks(d->txtInfo[7], QStringLiteral("more")); // cannot grow past what it holds
    EXPECT_EQ(d->txtInfo[7]->text(), longName);
    QTest::keyClick(d->txtInfo[7], Qt::Key_Backspace);
    EXPECT_EQ(d->txtInfo[7]->text().size(), 59);

    d->txtInfo[0]->clear();
    QTest::keyClicks(d->txtInfo[0], QString(25, QLatin1Char('x')));
    EXPECT_EQ(d->txtInfo[0]->text(), QString(19, QLatin1Char('x')));
    d->txtInfo[0]->setText(QStringLiteral("Ann")); // as stored, so closing asks nothing
    d->txtInfo[7]->setText(longName);
}

TEST_F(LoadTest, IgnoreOnABookThatWillNotOpenStillRestoresCaptionsAndLock) {
    QDir().mkpath(appDir() + QStringLiteral("books/Home.q7b")); // a folder in the place of the book
    putSetting(QStringLiteral("DataBasePath"), appDir() + QStringLiteral("books/"));
    putSetting(QStringLiteral("DataBaseName"), QStringLiteral("Home.q7b"));
    putSetting(QStringLiteral("LockedDataBase"), QStringLiteral("True"));
    PropertyBag real;
    real.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Mine"));
    saveBagFile(appDir() + QStringLiteral("books/Home.set"), real);
    const QByteArray before = readFile(appDir() + QStringLiteral("books/Home.set"));
    prompts->expect({}, 18, QStringLiteral("ERROR75 Path/File access error"), mb::Ignore);
    Data* d = load();
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(d->lblinfo[0]->text(), QStringLiteral("Mine"));
    EXPECT_EQ(d->OptFirst->text(), QStringLiteral("Mine"));
    EXPECT_EQ(d->action(QStringLiteral("mnuSortFirst"))->text(), QStringLiteral("Sort &by Mine"));
    EXPECT_TRUE(d->locked);
    Forms::unload(d);
    EXPECT_EQ(setting(QStringLiteral("LockedDataBase")), QStringLiteral("True"));
    EXPECT_EQ(readFile(appDir() + QStringLiteral("books/Home.set")), before);
}

TEST_F(LoadTest, AnAbortedLoadWritesBackOnlyWhatItRead) {
    const QString books = appDir() + QStringLiteral("books/");
    const std::pair<const char*, const char*> stored[] = {
        {"DataBasePath", nullptr},  {"DataBaseName", "Home.q7b"}, {"FormBackColor", "255"},
        {"TextFontName", "Serif"},  {"TextFontSize", "17"},       {"TextFontColor", "65280"},
        {"LockedDataBase", "True"}, {"FormLeft", "1440"}};
    const auto putAll = [&] {
        for (const auto& [k, v] : stored)
            putSetting(QString::fromLatin1(k), v ? QString::fromLatin1(v) : books);
    };
    const auto expectAll = [&](const char* when) {
        for (const auto& [k, v] : stored)
            EXPECT_EQ(setting(QString::fromLatin1(k)), v ? QString::fromLatin1(v) : books)
                << when << " " << k;
    };
    QDir().mkpath(books + QStringLiteral("Home.q7b")); // cannot be opened as a book

    // Abort at the first stored value: nothing else was read.
    putAll();
    putSetting(QStringLiteral("FormTop"), QStringLiteral("top of the screen"));
    prompts->expect({}, 18, QStringLiteral("ERROR13 Type mismatch"), mb::Abort);
    Forms::unload(load());
    Forms::flushDeleted();
    expectAll("abort at the settings");
    EXPECT_EQ(setting(QStringLiteral("FormTop")), QStringLiteral("top of the screen"));

    // Abort at the database: the look was read and goes back unchanged, the lock was not read.
    ModulePhoneBook::reset();
    putSetting(QStringLiteral("FormTop"), QStringLiteral("75"));
    prompts->expect({}, 18, QStringLiteral("ERROR75 Path/File access error"), mb::Abort);
    Forms::unload(load());
    expectAll("abort at the database");
}

TEST_F(LoadTest, TheRememberedBookHeldByAnotherCopyIsToldAndTheWindowLoadsWithoutIt) {
    const QString books = appDir() + QStringLiteral("books/");
    QDir().mkpath(books);
    putSetting(QStringLiteral("DataBasePath"), books);
    putSetting(QStringLiteral("DataBaseName"), QStringLiteral("Home.q7b"));
    writeFile(books + QStringLiteral("Home.q7b"), bookBytes({{"Ann"}}));
    // The other copy is writing a new version of it this moment.
    writeFile(books + QStringLiteral("Home.q7b.dorvane-swap"), "their change");
    const OtherCopy other(books + QStringLiteral(".Home.q7b.dorvane-lock"));
    ASSERT_TRUE(other.holds());
    const QStringList theirs = QDir(books).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    prompts->expect(books +
                        QStringLiteral("Home.q7b\r\nis open in another running copy of Dorvane.\r\n"
                                       "A phonebook is changed by one copy at a time: close it there first."),
                    mb::Exclamation, QStringLiteral("Phonebook in Use"), mb::OK);
    Data* d = load();
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_FALSE(pbm().DatabaseFile);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0"));
    Forms::unload(d);
    EXPECT_EQ(QDir(books).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), theirs);
    EXPECT_EQ(readFile(books + QStringLiteral("Home.q7b")), bookBytes({{"Ann"}}));
    EXPECT_EQ(readFile(books + QStringLiteral("Home.q7b.dorvane-swap")), QByteArray("their change"));
    EXPECT_EQ(setting(QStringLiteral("DataBaseName")), QStringLiteral("Home.q7b"));
}

TEST_F(LoadTest, ALockADeadCopyLeftIsTakenOverWithoutAWord) {
    writeFile(book(), bookBytes({{"Ann"}}));
    const QString lock = appDir() + QStringLiteral(".Dorvane2DataBase.q7B.dorvane-lock");
    ASSERT_TRUE(leaveDeadCopysLock(lock));
    Data* d = load();
    EXPECT_EQ(pbm().RecordCount, 1);
    EXPECT_FALSE(OtherCopy(lock).holds());
    Forms::unload(d);
    Forms::flushDeleted();
    EXPECT_FALSE(QFileInfo::exists(lock)); // let go with the window

    // Left empty by a copy killed as it made the lock, a while ago.
    writeFile(lock, {});
    QFile made(lock);
    ASSERT_TRUE(made.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        made.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    made.close();
    load();
    EXPECT_EQ(pbm().RecordCount, 1);
    EXPECT_FALSE(OtherCopy(lock).holds());
    EXPECT_TRUE(prompts->shown.empty());
}
